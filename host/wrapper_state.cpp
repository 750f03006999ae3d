#include "host/wrapper_state.h"

WrapperState g_state;
