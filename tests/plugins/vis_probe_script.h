// Scripts vis_probe from a text file beside the DLL, named like it with ".ini" for ".dll",
// for a process that cannot reach the control block: a copy of the probe run by another
// program. Section [vis_probe]; keys and values:
//   module_count, frame_delay, init_failures, header_returns_null, ask_embed_window,
//   draws_through_dc, shows_itself, draws_after_ms: numbers
//   drawing_window = none | child | top_level
//   message_box_from = header | init | render | ...  (an entry name)
//   fault_ENTRY = access_violation | divide_by_zero | msvc_throw | stack_overflow | endless_loop
//   hang_ms_ENTRY = milliseconds
#pragma once

#include "tests/plugins/vis_probe_control.h"

// Reads the script into control the first time it is called; later calls do nothing.
void apply_probe_script(ProbeControl& control);
