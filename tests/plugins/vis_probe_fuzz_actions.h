// The single things the fuzzing mode does to the wrapper, each drawn from the generator.
#pragma once

#include "tests/plugins/vis_probe_fuzz.h"

#include <cstdint>

// xorshift32: small, and the same sequence from the same seed on every machine.
class FuzzRandom {
public:
    void seed(uint32_t seed) { state_ = seed ? seed : 0x9E3779B9u; }
    uint32_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    uint32_t below(uint32_t bound) { return bound ? next() % bound : 0; }
    bool one_in(uint32_t odds) { return odds != 0 && below(odds) == 0; }

private:
    uint32_t state_ = 0x9E3779B9u;
};

// The windows the actions aim at, as the plug-in knows them.
struct FuzzTargets {
    HWND winamp;
    HWND frame;
    HWND drawing;
    WinampVisModule* module;  // only from the render entry
};

// Runs one action of that kind; `describe` receives what it does before it does it.
using FuzzDescribe = void (*)(ProbeFuzzKind kind, const char* text);
void run_fuzz_action(ProbeFuzzKind kind, FuzzRandom& random, const FuzzTargets& targets,
                     const ProbeFuzzControl& control, FuzzDescribe describe);

// Puts back what the plug-in itself relies on: its drawing window announced, the embed
// record a valid one of its own.
void restore_after_fuzzing(const FuzzTargets& targets);
// Forgets what a run handed out (functions, objects) and gives protected memory back.
void forget_fuzz_run();
