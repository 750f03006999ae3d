#include "tools/player/picture_sampler.h"

#include "tools/player/frame_capture.h"

#include <chrono>

namespace {

// Finer than any module's delay that the player's 25 ms frames can feed.
constexpr DWORD kLookIntervalMs = 4;

}  // namespace

void PictureSampler::start(HWND window)
{
    stop();
    counts_ = PictureCounts();
    stop_requested_ = false;
    thread_ = std::thread(&PictureSampler::run, this, window);
}

PictureCounts PictureSampler::stop()
{
    if (thread_.joinable()) {
        stop_requested_ = true;
        thread_.join();
    }
    return counts_;
}

void PictureSampler::run(HWND window)
{
    const auto start = std::chrono::steady_clock::now();
    Image previous;
    while (!stop_requested_) {
        Image picture = capture_client(window);
        if (picture.width == 0)
            break;
        ++counts_.looks;
        if (counts_.looks > 1 && picture.pixels != previous.pixels)
            ++counts_.changes;
        previous = std::move(picture);
        Sleep(kLookIntervalMs);
    }
    counts_.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
