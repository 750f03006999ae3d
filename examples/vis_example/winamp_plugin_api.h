// What a Winamp visualization plug-in shares with its host, declared here so that the
// plug-in builds on its own. Every record is read by a host compiled elsewhere, so each
// offset is pinned for the 32-bit layout that hosts expect.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

static_assert(sizeof(void*) == 4, "Winamp plug-ins are 32-bit DLLs");

constexpr int kWinampChannels = 2;
constexpr int kWinampPoints = 576;

struct WinampVisModule;
struct WinampVisHeader;

// Everything the host calls in a plug-in is cdecl: the caller removes the argument.
using WinampModuleGetter = WinampVisModule*(__cdecl*)(int index);
using WinampModuleConfig = void(__cdecl*)(WinampVisModule* module);
using WinampModuleInit = int(__cdecl*)(WinampVisModule* module);
using WinampModuleRender = int(__cdecl*)(WinampVisModule* module);
using WinampModuleQuit = void(__cdecl*)(WinampVisModule* module);

// What winampVisGetHeader returns; it stays valid while the DLL is loaded.
struct WinampVisHeader {
    int version;  // 0x101 for this layout of the module record
    const char* description;
    WinampModuleGetter get_module;  // 0 for an index past the last module
};
static_assert(offsetof(WinampVisHeader, version) == 0, "header layout");
static_assert(offsetof(WinampVisHeader, description) == 4, "header layout");
static_assert(offsetof(WinampVisHeader, get_module) == 8, "header layout");
static_assert(sizeof(WinampVisHeader) == 12, "header size");

// One visualization. The plug-in fills in its description, delays, channel counts and
// entries; the host fills in the rest before calling them.
struct WinampVisModule {
    const char* description;
    HWND parent;          // the host's main window: the target of its WM_USER requests
    HINSTANCE instance;   // this DLL
    int sample_rate;
    int channel_count;
    int latency_ms;       // how far ahead of the sound the data may be
    int frame_delay_ms;   // the time from one render call to the next
    int spectrum_channels;  // how many rows of spectrum_data the host fills: 0, 1 or 2
    int waveform_channels;  // the same for waveform_data
    // 0 (silence, low frequencies first) to 255 (loudest).
    uint8_t spectrum_data[kWinampChannels][kWinampPoints];
    // Signed samples, -128 to 127, stored in unsigned bytes.
    uint8_t waveform_data[kWinampChannels][kWinampPoints];
    WinampModuleConfig config;  // may be 0
    WinampModuleInit init;      // 0 on success
    WinampModuleRender render;  // 0 to go on, anything else asks the host to stop
    WinampModuleQuit quit;      // may be 0
    void* user_data;            // the plug-in's own; hosts leave it alone
};
static_assert(offsetof(WinampVisModule, description) == 0x000, "module layout");
static_assert(offsetof(WinampVisModule, parent) == 0x004, "module layout");
static_assert(offsetof(WinampVisModule, instance) == 0x008, "module layout");
static_assert(offsetof(WinampVisModule, sample_rate) == 0x00C, "module layout");
static_assert(offsetof(WinampVisModule, channel_count) == 0x010, "module layout");
static_assert(offsetof(WinampVisModule, latency_ms) == 0x014, "module layout");
static_assert(offsetof(WinampVisModule, frame_delay_ms) == 0x018, "module layout");
static_assert(offsetof(WinampVisModule, spectrum_channels) == 0x01C, "module layout");
static_assert(offsetof(WinampVisModule, waveform_channels) == 0x020, "module layout");
static_assert(offsetof(WinampVisModule, spectrum_data) == 0x024, "module layout");
static_assert(offsetof(WinampVisModule, waveform_data) == 0x4A4, "module layout");
static_assert(offsetof(WinampVisModule, config) == 0x924, "module layout");
static_assert(offsetof(WinampVisModule, init) == 0x928, "module layout");
static_assert(offsetof(WinampVisModule, render) == 0x92C, "module layout");
static_assert(offsetof(WinampVisModule, quit) == 0x930, "module layout");
static_assert(offsetof(WinampVisModule, user_data) == 0x934, "module layout");

// The requests a plug-in sends to its parent: SendMessage(parent, WM_USER, argument, code).
constexpr UINT kWinampRequest = WM_USER;
constexpr LPARAM kAskSettingsFile = 334;   // answer: the full path of the host's ini file
constexpr LPARAM kAskEmbedFunction = 505;  // wParam 0; answer: the embed-window function or 0
constexpr LPARAM kAnnounceVisWindow = 611; // wParam: the drawing window, 0 when it is gone
constexpr LPARAM kAskServices = 3025;      // answer: the service directory object

// Hosts answer 0 for a request they do not know, and may answer -1 or a small number;
// no valid address lies in the lowest 64 KiB of a Windows process.
inline bool is_address_answer(LRESULT answer)
{
    return static_cast<uintptr_t>(answer) >= 0x10000 && answer != -1;
}

// The record a plug-in passes to the embed-window function. The host keeps its address and
// writes the frame's screen rectangle back into it when the user moves or sizes the frame,
// so it must live as long as the frame. Some hosts use the bytes after the rectangle.
struct EmbedWindowState {
    HWND window;  // written by the host: the frame
    int flags;
    // The frame's outer rectangle on the screen. CW_USEDEFAULT in left and top asks for no
    // particular position; right and bottom are then the client width and height.
    RECT window_rect;
    void* user_data;
    int extra_data[64];
};
static_assert(offsetof(EmbedWindowState, window) == 0, "embed record layout");
static_assert(offsetof(EmbedWindowState, flags) == 4, "embed record layout");
static_assert(offsetof(EmbedWindowState, window_rect) == 8, "embed record layout");
static_assert(offsetof(EmbedWindowState, user_data) == 24, "embed record layout");
static_assert(sizeof(EmbedWindowState) == 284, "embed record size");

// Returns the frame (also stored in the record's window field), 0 when there is none.
using EmbedWindowFunction = HWND(__cdecl*)(EmbedWindowState* state);

// A host service object: its first word points at a table whose first entry dispatches
// every call, as a C++ virtual method does (thiscall: the object in ECX, the arguments on
// the stack, removed by the callee). args[i] points at the value of argument i. The result
// cell is written only when 1 is returned.
struct WinampService;
using WinampDispatch = int(__thiscall*)(WinampService* self, int code, void* result,
                                        void** args, int argc);
struct WinampServiceTable {
    WinampDispatch dispatch;
};
struct WinampService {
    const WinampServiceTable* table;
};
static_assert(offsetof(WinampService, table) == 0, "the table address is the first word");

// The service directory's code: args[0] -> the GUID of the service wanted; result: the
// service object.
constexpr int kFindService = 50;

// {30AED4E5-EF10-4277-8D49-27AB5570E891}: the language service, which loads a plug-in's
// dialogs and strings (and may translate them).
constexpr GUID kLanguageServiceId = {
    0x30AED4E5, 0xEF10, 0x4277, {0x8D, 0x49, 0x27, 0xAB, 0x55, 0x70, 0xE8, 0x91}};

// The language service's modeless dialog: six arguments, the localised and the original
// module instance, the template, the parent, the dialog procedure and its parameter;
// result: the dialog's window.
constexpr int kCreateLanguageDialog = 50;
constexpr int kCreateLanguageDialogArgs = 6;
