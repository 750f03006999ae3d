// vis_example: a Winamp visualization plug-in with four modules, "Spectrum bars",
// "Oscilloscope", "Spectrum bars (OpenGL)" and "Spectrum bars (Direct3D 9)". The first two
// draw with GDI into a back buffer, the others with OpenGL and Direct3D 9, each in a window
// that fills the frame its host offers (or, if the user prefers, a window of its own). The settings live in a section of the
// host's settings file; the configuration dialog comes from the host's language service.
//
// The host calls, in this order: winampVisGetHeader, get_module, config (only when the
// user asks), init, render once a frame, quit. init, render and quit run on the host's
// render thread; config may run on another thread while a module renders.
#include "config_dialog.h"
#include "d3d_painter.h"
#include "d3d_view.h"
#include "drawing_rules.h"
#include "gl_painter.h"
#include "gl_view.h"
#include "host_requests.h"
#include "painters.h"
#include "settings_file.h"
#include "shared_settings.h"
#include "view_window.h"
#include "winamp_plugin_api.h"

namespace {

constexpr int kFrameDelayMs = 20;  // 50 frames a second
// The client size asked of the host's frame.
constexpr int kFrameClientWidth = 400;
constexpr int kFrameClientHeight = 200;

enum class Drawing { gdi, opengl, direct3d };

struct ModuleState {
    explicit ModuleState(Drawing drawing_kind) : drawing(drawing_kind) {}

    const Drawing drawing;  // which of the views the module draws in
    ViewWindow view;
    GlView gl_view;
    D3dView d3d_view;
    HWND frame = nullptr;
    // The host keeps this record's address and writes the frame's rectangle into it, so it
    // lives as long as the DLL.
    EmbedWindowState embed = {};
    int peaks[kMaxBars] = {};
};

SharedSettings g_settings;
// The host's settings file as init found it, for quit to save into.
char g_ini_path[MAX_PATH];
bool g_have_ini = false;

ModuleState& state_of(WinampVisModule* module)
{
    return *static_cast<ModuleState*>(module->user_data);
}

HWND view_of(const ModuleState& state)
{
    switch (state.drawing) {
    case Drawing::opengl:
        return state.gl_view.handle();
    case Drawing::direct3d:
        return state.d3d_view.handle();
    case Drawing::gdi:
        break;
    }
    return state.view.handle();
}

bool create_view(ModuleState& state, HINSTANCE instance, COLORREF background)
{
    switch (state.drawing) {
    case Drawing::opengl:
        return state.gl_view.create(instance, state.frame);
    case Drawing::direct3d:
        return state.d3d_view.create(instance, state.frame);
    case Drawing::gdi:
        break;
    }
    return state.view.create(instance, state.frame, background);
}

// The frame from the host's embed-window function; 0 when the host has none to offer.
HWND open_frame(HWND host, EmbedWindowState* embed)
{
    const EmbedWindowFunction embed_window = ask_embed_function(host);
    if (!embed_window)
        return nullptr;
    *embed = EmbedWindowState();
    // No position of our own (CW_USEDEFAULT): the frame stays where the host put it, and
    // right and bottom are the client size wanted.
    embed->window_rect = {static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT),
                          kFrameClientWidth, kFrameClientHeight};
    return embed_window(embed);
}

int __cdecl init_module(WinampVisModule* module)
{
    ModuleState& state = state_of(module);
    g_have_ini = ask_settings_file(module->parent, g_ini_path, sizeof g_ini_path);
    const VisSettings settings = g_have_ini ? load_settings(g_ini_path) : VisSettings();
    g_settings.set(settings);

    if (settings.embed_in_frame) {
        state.frame = open_frame(module->parent, &state.embed);
        // Some hosts make their frame only when an init without one has failed: failing
        // here lets them try again with a frame.
        if (!state.frame)
            return 1;
    }
    for (int& peak : state.peaks)
        peak = 0;
    // Where there is no OpenGL or no Direct3D device the 3D modules fail here, without a
    // box: what to tell the user is the host's to decide.
    if (!create_view(state, module->instance, settings.background_colour))
        return 1;  // quit closes the frame
    announce_vis_window(module->parent, view_of(state));
    // Shown only once the host knows the window. A frame comes hidden; the view fills it.
    ShowWindow(state.frame ? state.frame : view_of(state), SW_SHOWNORMAL);
    return 0;
}

// This frame's bar levels, and the peaks moved on by one frame.
void update_bars(WinampVisModule* module, const VisSettings& settings, ModuleState& state,
                 uint8_t* levels)
{
    bar_levels(module->spectrum_data, module->spectrum_channels, settings.bar_count, levels);
    for (int bar = 0; bar < settings.bar_count; ++bar)
        state.peaks[bar] = next_peak(state.peaks[bar], levels[bar], settings.peak_falloff);
}

int __cdecl render_spectrum(WinampVisModule* module)
{
    ModuleState& state = state_of(module);
    if (!state.view.handle())
        return 1;  // the user closed it: ask the host to stop
    const VisSettings settings = g_settings.get();
    uint8_t levels[kMaxBars];
    update_bars(module, settings, state, levels);
    state.view.set_background(settings.background_colour);
    paint_spectrum(state.view.buffer(), settings, levels, state.peaks, settings.bar_count);
    state.view.present();
    return 0;
}

int __cdecl render_gl_spectrum(WinampVisModule* module)
{
    ModuleState& state = state_of(module);
    int width = 0;
    int height = 0;
    if (!state.gl_view.begin_frame(&width, &height))
        return 1;
    const VisSettings settings = g_settings.get();
    uint8_t levels[kMaxBars];
    update_bars(module, settings, state, levels);
    paint_spectrum_gl(settings, levels, state.peaks, settings.bar_count, width, height);
    state.gl_view.end_frame();
    return 0;
}

int __cdecl render_d3d_spectrum(WinampVisModule* module)
{
    ModuleState& state = state_of(module);
    IDirect3DDevice9* device = nullptr;
    int width = 0;
    int height = 0;
    switch (state.d3d_view.begin_frame(&device, &width, &height)) {
    case D3dView::FrameStart::gone:
        return 1;
    case D3dView::FrameStart::skip:
        return 0;
    case D3dView::FrameStart::draw:
        break;
    }
    const VisSettings settings = g_settings.get();
    uint8_t levels[kMaxBars];
    update_bars(module, settings, state, levels);
    paint_spectrum_d3d(device, settings, levels, state.peaks, settings.bar_count, width, height);
    state.d3d_view.end_frame();
    return 0;
}

int __cdecl render_scope(WinampVisModule* module)
{
    ModuleState& state = state_of(module);
    if (!state.view.handle())
        return 1;
    const VisSettings settings = g_settings.get();
    state.view.set_background(settings.background_colour);
    paint_scope(state.view.buffer(), settings, module->waveform_data, module->waveform_channels);
    state.view.present();
    return 0;
}

void __cdecl quit_module(WinampVisModule* module)
{
    ModuleState& state = state_of(module);
    // First, so the host passes nothing more to a window about to go.
    if (view_of(state))
        announce_vis_window(module->parent, nullptr);
    state.view.destroy();
    state.gl_view.destroy();
    state.d3d_view.destroy();
    // Winamp makes a new frame for every call of its embed function and leaves it to the
    // plug-in to close.
    if (state.frame && IsWindow(state.frame))
        DestroyWindow(state.frame);
    state.frame = nullptr;
    if (g_have_ini)
        save_settings(g_ini_path, g_settings.get());
}

void __cdecl configure(WinampVisModule* module)
{
    // The file is the truth: init reads it and every OK writes it, so it also serves a host
    // that configures without running the module first.
    char ini_path[MAX_PATH];
    const bool have_ini = ask_settings_file(module->parent, ini_path, sizeof ini_path);
    VisSettings settings = have_ini ? load_settings(ini_path) : g_settings.get();
    if (!run_config_dialog(module->parent, module->instance, &settings))
        return;
    // A running module draws with the new settings from its next frame; the choice of
    // frame takes effect at the next init.
    g_settings.set(settings);
    if (have_ini)
        save_settings(ini_path, settings);
}

ModuleState g_states[] = {ModuleState(Drawing::gdi), ModuleState(Drawing::gdi),
                          ModuleState(Drawing::opengl), ModuleState(Drawing::direct3d)};

WinampVisModule make_module(const char* description, WinampModuleRender render,
                            ModuleState* state, int spectrum_channels, int waveform_channels)
{
    WinampVisModule module = {};
    module.description = description;
    module.frame_delay_ms = kFrameDelayMs;
    module.spectrum_channels = spectrum_channels;
    module.waveform_channels = waveform_channels;
    module.config = configure;
    module.init = init_module;
    module.render = render;
    module.quit = quit_module;
    module.user_data = state;
    return module;
}

// Each module asks only for the data it draws.
WinampVisModule g_modules[] = {
    make_module("Spectrum bars", render_spectrum, &g_states[0], 2, 0),
    make_module("Oscilloscope", render_scope, &g_states[1], 0, 2),
    make_module("Spectrum bars (OpenGL)", render_gl_spectrum, &g_states[2], 2, 0),
    make_module("Spectrum bars (Direct3D 9)", render_d3d_spectrum, &g_states[3], 2, 0),
};

WinampVisModule* __cdecl get_module(int index)
{
    if (index < 0 || index >= static_cast<int>(sizeof g_modules / sizeof g_modules[0]))
        return nullptr;
    return &g_modules[index];
}

WinampVisHeader g_header = {
    0x101, "Example visualization (spectrum bars, oscilloscope, OpenGL and Direct3D 9 bars)",
    get_module};

}  // namespace

// The one export, by this undecorated name (see vis_example.def). Newer hosts pass their
// main window; older ones pass nothing, which a cdecl function may ignore.
extern "C" WinampVisHeader* __cdecl winampVisGetHeader(HWND)
{
    return &g_header;
}
