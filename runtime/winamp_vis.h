// The records a Winamp visualization plug-in hands out through winampVisGetHeader. Their
// layout is the interface to DLLs built elsewhere, so every offset is pinned here.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct WinampVisModule;
struct WinampVisHeader;

using WinampVisGetHeaderFunction = WinampVisHeader*(__cdecl*)(HWND parent);
using WinampModuleByIndexFunction = WinampVisModule*(__cdecl*)(int32_t index);
using WinampModuleConfigFunction = void(__cdecl*)(WinampVisModule* module);
using WinampModuleInitFunction = int32_t(__cdecl*)(WinampVisModule* module);
using WinampModuleRenderFunction = int32_t(__cdecl*)(WinampVisModule* module);
using WinampModuleQuitFunction = void(__cdecl*)(WinampVisModule* module);

constexpr int kWinampChannelRows = 2;
constexpr int kWinampPoints = 576;

struct WinampVisHeader {
    int32_t version;
    const char* description;
    WinampModuleByIndexFunction module_by_index;
};
static_assert(offsetof(WinampVisHeader, version) == 0, "header layout");
static_assert(offsetof(WinampVisHeader, description) == 4, "header layout");
static_assert(offsetof(WinampVisHeader, module_by_index) == 8, "header layout");
static_assert(sizeof(WinampVisHeader) == 12, "header size");

struct WinampVisModule {
    const char* description;
    HWND parent;
    HINSTANCE instance;
    int32_t sample_rate;
    int32_t channel_count;
    int32_t reserved;
    int32_t frame_delay;
    int32_t spectrum_channels;
    int32_t waveform_channels;
    uint8_t spectrum_values[kWinampChannelRows][kWinampPoints];
    int8_t waveform_samples[kWinampChannelRows][kWinampPoints];
    WinampModuleConfigFunction config_entry;
    WinampModuleInitFunction init_entry;
    WinampModuleRenderFunction render_entry;
    WinampModuleQuitFunction quit_entry;
};
static_assert(offsetof(WinampVisModule, description) == 0x000, "module layout");
static_assert(offsetof(WinampVisModule, parent) == 0x004, "module layout");
static_assert(offsetof(WinampVisModule, instance) == 0x008, "module layout");
static_assert(offsetof(WinampVisModule, sample_rate) == 0x00C, "module layout");
static_assert(offsetof(WinampVisModule, channel_count) == 0x010, "module layout");
static_assert(offsetof(WinampVisModule, reserved) == 0x014, "module layout");
static_assert(offsetof(WinampVisModule, frame_delay) == 0x018, "module layout");
static_assert(offsetof(WinampVisModule, spectrum_channels) == 0x01C, "module layout");
static_assert(offsetof(WinampVisModule, waveform_channels) == 0x020, "module layout");
static_assert(offsetof(WinampVisModule, spectrum_values) == 0x024, "module layout");
static_assert(offsetof(WinampVisModule, waveform_samples) == 0x4A4, "module layout");
static_assert(offsetof(WinampVisModule, config_entry) == 0x924, "module layout");
static_assert(offsetof(WinampVisModule, init_entry) == 0x928, "module layout");
static_assert(offsetof(WinampVisModule, render_entry) == 0x92C, "module layout");
static_assert(offsetof(WinampVisModule, quit_entry) == 0x930, "module layout");
static_assert(sizeof(WinampVisModule) == 2356, "module size up to the last entry");

