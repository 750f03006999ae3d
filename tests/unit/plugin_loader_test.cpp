// The loader against vis_probe.dll, called directly on the test's thread as the plug-in
// selection does (the probe) and as the render thread does (load and unload).
#include "emulation/emulated_windows.h"
#include "host/wrapper_state.h"
#include "runtime/load_error_text.h"
#include "runtime/plugin_loader.h"
#include "runtime/winamp_vis.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/probe_plugin.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wrapper_dll.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string system_text(DWORD code)
{
    char* text = nullptr;
    DWORD_PTR inserts[2] = {reinterpret_cast<DWORD_PTR>(g_state.plugin_path), 0};
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_ARGUMENT_ARRAY,
                   nullptr, code, 0, reinterpret_cast<char*>(&text), 200,
                   reinterpret_cast<va_list*>(inserts));
    std::string result = text ? text : "";
    LocalFree(text);
    return result;
}

bool parent_class_registered()
{
    WNDCLASSA info;
    return GetClassInfoA(nullptr, kParentWindowClass, &info) != 0;
}

class PluginLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
        select(ProbePlugin::path());
        g_state.module_index = 0;
        g_state.parent_window = nullptr;
        g_state.sample_rate_hz = 44100;
        g_state.waveform_wanted = 0;
        g_state.spectrum_wanted = 0;
    }

    void TearDown() override
    {
        unload_winamp_plugin();
        EXPECT_EQ(g_state.plugin_library, nullptr);
        g_state.plugin_path[0] = '\0';
    }

    static void select(const std::string& path)
    {
        snprintf(g_state.plugin_path, sizeof g_state.plugin_path, "%s", path.c_str());
    }

    ProbePlugin probe;
};

TEST_F(PluginLoader, LoadPreparesTheModuleAndUnloadBalancesTheCounters)
{
    probe.control().waveform_channels = 2;
    probe.control().spectrum_channels = 1;
    g_state.waveform_wanted = 5;
    g_state.spectrum_wanted = 7;

    ASSERT_EQ(load_winamp_plugin(1, 0), 1);
    WinampVisModule* module = g_state.active_module;
    ASSERT_NE(module, nullptr);
    EXPECT_STREQ(module->description, "vis_probe module 0");
    EXPECT_EQ(module->instance, g_state.plugin_library);
    EXPECT_EQ(module->instance, GetModuleHandleA(ProbePlugin::path().c_str()));
    EXPECT_EQ(module->channel_count, 2);
    EXPECT_EQ(module->sample_rate, 39200);
    EXPECT_EQ(g_state.waveform_wanted, 7);
    EXPECT_EQ(g_state.spectrum_wanted, 8);

    // The temporary main window served the header call and is gone with its class.
    const auto headers = probe.calls(kProbeHeader);
    ASSERT_EQ(headers.size(), 1u);
    EXPECT_NE(headers[0].parent, nullptr);
    EXPECT_FALSE(IsWindow(headers[0].parent));
    EXPECT_EQ(g_state.parent_window, nullptr);
    EXPECT_FALSE(parent_class_registered());

    // Whatever a previous run left in the arrays is zeroed by the next load.
    memset(module->waveform_samples, 0x55, sizeof module->waveform_samples);
    memset(module->spectrum_values, 0x55, sizeof module->spectrum_values);
    unload_winamp_plugin();
    EXPECT_EQ(g_state.active_module, nullptr);
    EXPECT_EQ(g_state.plugin_library, nullptr);
    EXPECT_EQ(g_state.waveform_wanted, 5);
    EXPECT_EQ(g_state.spectrum_wanted, 7);
    EXPECT_EQ(probe.calls(kProbeQuit).size(), 1u);

    g_state.sample_rate_hz = 48000;
    ASSERT_EQ(load_winamp_plugin(1, 0), 1);
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < kWinampPoints; ++i) {
            ASSERT_EQ(module->waveform_samples[row][i], 0);
            ASSERT_EQ(module->spectrum_values[row][i], 0);
        }
    EXPECT_EQ(module->sample_rate, 42666);
}

TEST_F(PluginLoader, CountersFollowTheLowByteOfOddChannelCountsAndIgnoreLaterChanges)
{
    probe.control().waveform_channels = 300;  // low byte 44
    probe.control().spectrum_channels = -1;   // low byte 255
    g_state.spectrum_wanted = 3;
    ASSERT_EQ(load_winamp_plugin(0, 0), 1);
    EXPECT_EQ(g_state.waveform_wanted, 44);
    EXPECT_EQ(g_state.spectrum_wanted, 2);
    // The unload takes back what the load added, whatever the plug-in wrote since.
    g_state.active_module.load()->waveform_channels = 2;
    g_state.active_module.load()->spectrum_channels = 0;
    unload_winamp_plugin();
    EXPECT_EQ(g_state.waveform_wanted, 0);
    EXPECT_EQ(g_state.spectrum_wanted, 3);
}

TEST_F(PluginLoader, HeaderGetsTheExistingMainWindowAndLeavesIt)
{
    ASSERT_EQ(create_parent_window(), 0);
    HWND parent = g_state.parent_window;
    ASSERT_EQ(load_winamp_plugin(1, 0), 1);
    ASSERT_EQ(probe.calls(kProbeHeader).size(), 1u);
    EXPECT_EQ(probe.calls(kProbeHeader)[0].parent, parent);
    EXPECT_EQ(g_state.parent_window, parent);
    EXPECT_TRUE(IsWindow(parent));
    DestroyWindow(parent);
    g_state.parent_window = nullptr;
    UnregisterClassA(kParentWindowClass, nullptr);
}

TEST_F(PluginLoader, MissingModuleNumberFallsBackToModuleZero)
{
    probe.control().module_count = 2;
    g_state.module_index = 3;
    ASSERT_EQ(load_winamp_plugin(1, 0), 1);
    EXPECT_EQ(g_state.module_index, 0);
    EXPECT_STREQ(g_state.active_module.load()->description, "vis_probe module 0");
    const auto asked = probe.calls(kProbeModuleByIndex);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].argument, 3);
    EXPECT_EQ(asked[1].argument, 0);

    unload_winamp_plugin();
    g_state.module_index = 1;
    ASSERT_EQ(load_winamp_plugin(1, 0), 1);
    EXPECT_EQ(g_state.module_index, 1);
    EXPECT_STREQ(g_state.active_module.load()->description, "vis_probe module 1");
}

TEST_F(PluginLoader, NoModuleAtAllLeavesTheLibraryForTheTeardownWithoutAMessage)
{
    probe.control().module_by_index_returns_null = 1;
    g_state.module_index = 2;
    EXPECT_EQ(load_winamp_plugin(1, 0), 0);
    EXPECT_EQ(g_state.active_module, nullptr);
    EXPECT_NE(g_state.plugin_library, nullptr);
    EXPECT_EQ(g_state.module_index, 0);
    EXPECT_EQ(g_state.waveform_wanted, 0);
    unload_winamp_plugin();
    EXPECT_EQ(g_state.plugin_library, nullptr);
    EXPECT_TRUE(probe.calls(kProbeQuit).empty());
}

void expect_no_module_from_a_load(ProbePlugin& probe)
{
    g_state.module_index = 1;
    EXPECT_EQ(load_winamp_plugin(1, 0), 0);
    EXPECT_EQ(g_state.active_module, nullptr);
    EXPECT_EQ(g_state.waveform_wanted, 0);
    EXPECT_EQ(g_state.module_index, 0);
    EXPECT_TRUE(probe.calls(kProbeInit).empty());
    unload_winamp_plugin();
    EXPECT_EQ(g_state.plugin_library, nullptr);
}

// Each of these would fault in the wrapper itself, outside any guard, if it were used.
TEST_F(PluginLoader, ModulesInMemoryThatIsNotWritableAndAMissingFunctionGiveNoModule)
{
    const struct {
        int32_t module_pointer;
        int32_t module_function;
    } cases[] = {{kProbeReadOnlyModule, kProbeRealFunction},
                 {kProbeUnreadableModule, kProbeRealFunction},
                 {kProbeRealModule, kProbeNullFunction}};
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.module_pointer * 10 + bad.module_function);
        probe.control().module_pointer = bad.module_pointer;
        probe.control().module_function = bad.module_function;
        expect_no_module_from_a_load(probe);
    }
}

TEST_F(PluginLoader, ModuleFunctionInMemoryWithNoAccessFaultsInsideTheGuard)
{
    probe.control().module_function = kProbeGarbageFunction;
    expect_no_module_from_a_load(probe);
}

TEST_F(PluginLoader, HeaderInMemoryWithNoAccessCountsAsNoHeader)
{
    probe.control().header_unreadable = 1;
    MessageBoxWatcher box;
    EXPECT_EQ(load_winamp_plugin(1, 0), 0);
    ASSERT_TRUE(box.finish());
    EXPECT_EQ(box.text(), std::string(kLoadErrorSentence) + "\n" + kNoHeaderText);
    EXPECT_EQ(g_state.plugin_library, nullptr);
    EXPECT_TRUE(probe.calls(kProbeModuleByIndex).empty());
}

TEST_F(PluginLoader, ProbeOfAGoodDllLoadsNothingAndAsksForNoModule)
{
    probe.control().module_by_index_returns_null = 1;  // the probe must still pass
    HWND before = g_state.parent_window;
    EXPECT_EQ(probe_winamp_plugin(1), 1);
    EXPECT_EQ(g_state.plugin_library, nullptr);
    EXPECT_EQ(g_state.active_module, nullptr);
    EXPECT_EQ(g_state.parent_window, before);
    EXPECT_EQ(probe.calls(kProbeHeader).size(), 1u);
    EXPECT_TRUE(probe.calls(kProbeModuleByIndex).empty());
}

TEST_F(PluginLoader, EmptyPathFailsQuietly)
{
    g_state.plugin_path[0] = '\0';
    EXPECT_EQ(load_winamp_plugin(1, 0), 0);
    EXPECT_EQ(probe_winamp_plugin(1), 0);
    EXPECT_EQ(g_state.plugin_library, nullptr);
    EXPECT_TRUE(probe.calls().empty());
}

TEST_F(PluginLoader, FaultingHeaderIsCaughtAndReportedWithTheThreadsLastError)
{
    const ProbeFault faults[] = {kProbeAccessViolation, kProbeDivideByZero, kProbeMsvcThrow};
    for (ProbeFault fault : faults) {
        SCOPED_TRACE(fault);
        probe.control().faults[kProbeHeader] = fault;
        probe.control().header_last_error = ERROR_ACCESS_DENIED;
        MessageBoxWatcher box;
        EXPECT_EQ(probe_winamp_plugin(1), 0);
        ASSERT_TRUE(box.finish());
        EXPECT_EQ(box.caption(), "Error");
        EXPECT_EQ(box.owner(), nullptr);
        EXPECT_EQ(box.text(), std::string(kLoadErrorSentence) + "\n" +
                                  system_text(ERROR_ACCESS_DENIED));
        EXPECT_EQ(g_state.plugin_library, nullptr);
        EXPECT_EQ(g_state.parent_window, nullptr);
        EXPECT_FALSE(parent_class_registered());
        EXPECT_FALSE(IsWindow(probe.calls(kProbeHeader).back().parent));
    }
    // Quietly, too.
    EXPECT_EQ(load_winamp_plugin(0, 0), 0);
    EXPECT_EQ(g_state.active_module, nullptr);
}

TEST_F(PluginLoader, HeaderReturningNothingSaysSoOrShowsTheErrorItLeft)
{
    probe.control().header_returns_null = 1;
    {
        MessageBoxWatcher box;
        EXPECT_EQ(load_winamp_plugin(1, 0), 0);
        ASSERT_TRUE(box.finish());
        EXPECT_EQ(box.text(), std::string(kLoadErrorSentence) + "\n" + kNoHeaderText);
    }
    probe.control().header_last_error = ERROR_INVALID_PARAMETER;
    {
        MessageBoxWatcher box;
        EXPECT_EQ(load_winamp_plugin(1, 0), 0);
        ASSERT_TRUE(box.finish());
        EXPECT_EQ(box.text(), std::string(kLoadErrorSentence) + "\n" +
                                  system_text(ERROR_INVALID_PARAMETER));
    }
    EXPECT_EQ(g_state.plugin_library, nullptr);
}

TEST_F(PluginLoader, MissingFilesGetTheSystemsTextEvenForPathsAtTheLimit)
{
    TempDir dir;
    const std::string short_path = dir.file("vis_missing.dll");
    std::string long_path = dir.path() + "\\";
    long_path += std::string(259 - long_path.size() - 4, 'v') + ".dll";
    ASSERT_EQ(long_path.size(), 259u);
    for (const std::string& path : {short_path, long_path}) {
        select(path);
        MessageBoxWatcher box;
        EXPECT_EQ(load_winamp_plugin(1, 0), 0);
        ASSERT_TRUE(box.finish());
        EXPECT_EQ(box.text().rfind(std::string(kLoadErrorSentence) + "\n", 0), 0u);
        EXPECT_GT(box.text().size(), sizeof kLoadErrorSentence);
        EXPECT_EQ(g_state.plugin_library, nullptr);
    }
}

TEST_F(PluginLoader, FileThatIsNoLibraryGetsTheLoadersText)
{
    TempDir dir;
    const std::string text_file = dir.file("vis_x.dll");
    write_file_text(text_file, "This is not a program.\r\n");
    select(text_file);
    ASSERT_EQ(LoadLibraryExA(text_file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH), nullptr);
    const DWORD refused = GetLastError();
    EXPECT_NE(refused, 0u);
    MessageBoxWatcher box;
    EXPECT_EQ(load_winamp_plugin(1, 0), 0);
    ASSERT_TRUE(box.finish());
    EXPECT_EQ(box.text(), std::string(kLoadErrorSentence) + "\n" + system_text(refused));
    EXPECT_EQ(g_state.plugin_library, nullptr);
}

TEST_F(PluginLoader, ExportMissingFailsWithTheLookUpsError)
{
    select(build_dir() + "vis_probe_helper.dll");
    MessageBoxWatcher box;
    EXPECT_EQ(load_winamp_plugin(1, 0), 0);
    ASSERT_TRUE(box.finish());
    EXPECT_EQ(box.text(), std::string(kLoadErrorSentence) + "\n" +
                              system_text(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(g_state.plugin_library, nullptr);
}

TEST_F(PluginLoader, DependencyFoundOnlyByTheStandardSearchLoadsOnTheSecondAttempt)
{
    // The helper lies beside the test program, not beside the plug-in, nor in the
    // current folder.
    TempDir elsewhere;
    char saved_dir[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, saved_dir), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.path().c_str()));
    select(build_dir() + "probe_dep\\vis_probe_dep.dll");
    ASSERT_EQ(LoadLibraryExA(g_state.plugin_path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

    EXPECT_EQ(load_winamp_plugin(0, 0), 1);
    ASSERT_NE(g_state.active_module, nullptr);
    EXPECT_EQ(g_state.active_module.load()->frame_delay, 576);
    unload_winamp_plugin();
    SetCurrentDirectoryA(saved_dir);
}

// A load that gave a handle has succeeded, whatever last error it left: the plug-in's DLL
// entry runs once per load.
TEST_F(PluginLoader, LoadThatLeaves126WithAHandleLoadsOnce)
{
    HMODULE helper = LoadLibraryA((build_dir() + "vis_probe_helper.dll").c_str());
    ASSERT_NE(helper, nullptr);
    auto attaches = reinterpret_cast<long(__cdecl*)()>(
        reinterpret_cast<void*>(GetProcAddress(helper, "probe_helper_attaches")));
    ASSERT_NE(attaches, nullptr);
    select(build_dir() + "vis_probe_missing_lookup.dll");
    const long before = attaches();

    ASSERT_EQ(load_winamp_plugin(0, 0), 1);
    EXPECT_EQ(attaches() - before, 1);
    unload_winamp_plugin();
    EXPECT_EQ(GetModuleHandleA(g_state.plugin_path), nullptr);
    FreeLibrary(helper);
}

TEST_F(PluginLoader, FaultingQuitIsSwallowedAndTheUnloadGoesOn)
{
    probe.control().waveform_channels = 1;
    probe.control().faults[kProbeQuit] = kProbeAccessViolation;
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(load_winamp_plugin(0, 0), 1);
        EXPECT_EQ(g_state.waveform_wanted, 1);
        unload_winamp_plugin();
        EXPECT_EQ(g_state.waveform_wanted, 0);
        EXPECT_EQ(g_state.plugin_library, nullptr);
        EXPECT_EQ(g_state.active_module, nullptr);
    }
    EXPECT_EQ(probe.calls(kProbeQuit).size(), 3u);
}

TEST_F(PluginLoader, ModuleWithoutQuitEntryUnloadsWithoutCallingIt)
{
    probe.control().has_quit = 0;
    probe.control().has_config = 0;
    ASSERT_EQ(load_winamp_plugin(0, 0), 1);
    EXPECT_EQ(g_state.active_module.load()->quit_entry, nullptr);
    unload_winamp_plugin();
    EXPECT_TRUE(probe.calls(kProbeQuit).empty());
    EXPECT_EQ(g_state.plugin_library, nullptr);
}

TEST_F(PluginLoader, UnloadForgetsTheEmbedRecordOfThePlugin)
{
    ASSERT_EQ(load_winamp_plugin(0, 0), 1);
    static EmbedWindowState* const fake = reinterpret_cast<EmbedWindowState*>(0x1000);
    g_state.embed_state = fake;
    unload_winamp_plugin();
    EXPECT_EQ(g_state.embed_state, nullptr);
}

}  // namespace
