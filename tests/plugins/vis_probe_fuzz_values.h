// The values the fuzzing mode hands over where a plug-in passes a number, a window or an
// address: edges, handles of every sort (null, destroyed, another process's, ours) and
// addresses of every sort (null, unreadable, read-only, cut off).
#pragma once

#include "tests/plugins/vis_probe_fuzz_actions.h"

int32_t any_number(FuzzRandom& random);
uintptr_t any_word(FuzzRandom& random, const FuzzTargets& targets);
// The main window mostly, the frame now and then when there is one.
HWND window_of(FuzzRandom& random, const FuzzTargets& targets);
