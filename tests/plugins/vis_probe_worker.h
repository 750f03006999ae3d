// vis_probe's worker thread: a plug-in that draws on a thread of its own and asks the
// main window things from there while its entries wait for it.
#pragma once

#include "tests/plugins/vis_probe_control.h"

// From init: starts the worker and waits until it is ready.
void start_frame_worker(HWND parent, ProbeWorkerRecord* record);
// From render: hands the frame over and waits until the worker is done with it.
void hand_frame_to_worker();
// From quit: tells the worker to end and joins it.
void join_frame_worker();
