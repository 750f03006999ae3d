// Looks at the plug-in's drawing window every few milliseconds from a thread of its own
// and counts how often its picture changed: how many frames it drew that reached the
// screen, and whether it moves at all.
#pragma once

#include "tools/player/image.h"

#include <windows.h>

#include <atomic>
#include <thread>

struct PictureCounts {
    int looks = 0;
    int changes = 0;  // looks whose picture differed from the one before
    double seconds = 0.0;
};

class PictureSampler {
public:
    PictureSampler() = default;
    ~PictureSampler() { stop(); }
    PictureSampler(const PictureSampler&) = delete;
    PictureSampler& operator=(const PictureSampler&) = delete;

    void start(HWND window);
    // Ends the looking; the counts since start.
    PictureCounts stop();

private:
    void run(HWND window);

    std::thread thread_;
    std::atomic<bool> stop_requested_{false};
    PictureCounts counts_;
};
