// Dispatch calls on every service object the fuzzing mode can get: the directory that
// Winamp message 3025 hands out and each service it finds.
#pragma once

#include "tests/plugins/vis_probe_fuzz_actions.h"

void fuzz_dispatch(FuzzRandom& random, const FuzzTargets& targets, FuzzDescribe describe);
// The run is over: its objects are asked for again in the next.
void forget_service_objects();
