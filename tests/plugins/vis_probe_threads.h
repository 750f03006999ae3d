// vis_probe's threads of its own: a worker that faults, and one that outlives quit.
#pragma once

#include "tests/plugins/vis_probe_control.h"

void threads_from_init(ProbeControl* control);
void threads_from_render(ProbeControl* control);
void threads_quit();
void threads_reset();
