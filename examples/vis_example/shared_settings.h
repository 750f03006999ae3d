// The settings the modules draw with. The host may call the configuration entry on its
// own thread while a module renders on another, so every read and write takes the lock.
#pragma once

#include "settings_text.h"

#include <mutex>

class SharedSettings {
public:
    VisSettings get() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return settings_;
    }

    void set(const VisSettings& settings)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        settings_ = settings;
    }

private:
    mutable std::mutex mutex_;
    VisSettings settings_;
};
