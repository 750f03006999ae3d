#include "host/plugin_object.h"

void __stdcall Click(VisualPluginObject*, uint32_t, uint32_t)
{
}
