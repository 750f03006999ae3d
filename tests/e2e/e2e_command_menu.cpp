// The panel's popup menu as a user drives it: Click opens the menu on the player's thread,
// a helper thread reads the items, picks one and answers the file dialog or the error box.
#include "tests/support/ini_file.h"
#include "tests/support/modal_ui.h"
#include "tests/support/probe_plugin.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_player.h"
#include "tests/support/wait.h"
#include "tests/support/wrapper_dll.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <thread>

namespace {

const char kSection[] = "zeko_vis_winamp";
constexpr DWORD kUiTimeoutMs = 60000;

using Items = std::vector<bool>;
const Items kOnlyLoad = {false, false, false, true, false};
const Items kWhileRunning = {false, true, true, true, true};
const Items kWhileStopped = {true, false, true, true, true};

class CommandMenu : public ::testing::Test {
protected:
    void SetUp() override { player_.set_settings_answer(dir_.path().c_str()); }

    std::string ini() const { return dir_.file("zeko_vis_winamp.ini"); }

    void select(const std::string& path, int module)
    {
        set_ini_value(ini(), kSection, "plugin_dll", path);
        set_ini_value(ini(), kSection, "module_index", std::to_string(module));
    }

    // Opens the menu with Click and, on a helper thread, records the items' states, picks
    // the item (or dismisses the menu) and then answers what the command opens.
    Items click(WrapperDll& dll, int item, const std::function<void()>& answer_command = {})
    {
        Items items;
        std::thread user([&] {
            HWND menu = wait_for_popup_menu(kUiTimeoutMs);
            if (!menu)
                return;
            items = enabled_menu_items(menu);
            if (item < 0) {
                dismiss_menu(menu);
                return;
            }
            pick_menu_item(menu, static_cast<MenuItem>(item));
            if (answer_command)
                answer_command();
        });
        dll.click();
        user.join();
        return items;
    }

    // Chooses Load and types the name into the file dialog; an error box that follows is
    // closed and its text returned.
    std::string load_through_dialog(WrapperDll& dll, const std::string& name, bool expect_box)
    {
        std::string box_text;
        click(dll, kMenuLoad, [&] {
            HWND dialog = wait_for_open_dialog(kUiTimeoutMs);
            ASSERT_NE(dialog, nullptr);
            choose_file(dialog, name);
            if (expect_box)
                box_text = close_message_box(kUiTimeoutMs);
        });
        return box_text;
    }

    size_t count(ProbeEntry entry) const { return probe_.calls(entry).size(); }

    bool renders_go_on()
    {
        const size_t seen = count(kProbeRender);
        return wait_until([&] { return count(kProbeRender) > seen; }, 20000);
    }

    TempDir dir_;
    TestPlayer player_;
    ProbePlugin probe_;
};

TEST_F(CommandMenu, ItemsFollowTheSelectionAndTheRunAndStartStopAndDismissWork)
{
    {
        WrapperDll dll;
        ASSERT_EQ(dll.initialize(), 1);
        EXPECT_EQ(click(dll, -1), kOnlyLoad);
        dll.finalize();
    }
    select(ProbePlugin::path(), 0);
    WrapperDll dll;
    ASSERT_EQ(dll.initialize(), 1);
    ASSERT_TRUE(renders_go_on());

    EXPECT_EQ(click(dll, kMenuStop), kWhileRunning);
    EXPECT_EQ(count(kProbeQuit), 1u);
    EXPECT_EQ(click(dll, -1), kWhileStopped);
    EXPECT_EQ(count(kProbeInit), 1u);

    EXPECT_EQ(click(dll, kMenuStart), kWhileStopped);
    EXPECT_TRUE(renders_go_on());
    EXPECT_EQ(click(dll, -1), kWhileRunning);
    EXPECT_EQ(count(kProbeQuit), 1u);
    EXPECT_TRUE(renders_go_on());
    dll.finalize();
}

TEST_F(CommandMenu, ConfigureCallsConfigAloneOrBesideTheRunningModule)
{
    select(ProbePlugin::path(), 0);
    WrapperDll dll;
    ASSERT_EQ(dll.initialize(), 1);
    ASSERT_TRUE(renders_go_on());

    click(dll, kMenuConfigure);
    ASSERT_EQ(count(kProbeConfig), 1u);
    EXPECT_EQ(probe_.calls(kProbeConfig)[0].thread_id, GetCurrentThreadId());
    EXPECT_EQ(count(kProbeInit), 1u);
    EXPECT_EQ(count(kProbeQuit), 0u);
    EXPECT_TRUE(renders_go_on());

    click(dll, kMenuStop);
    click(dll, kMenuConfigure);
    ASSERT_TRUE(wait_until([&] { return count(kProbeQuit) == 2; }, 20000));
    ASSERT_EQ(count(kProbeConfig), 2u);
    EXPECT_NE(probe_.calls(kProbeConfig)[1].thread_id, GetCurrentThreadId());
    EXPECT_EQ(count(kProbeInit), 1u);
    dll.finalize();
}

TEST_F(CommandMenu, ConfigureRestartsAModuleThatConfiguresItselfWhileRunning)
{
    strcpy(probe_.control().module_description, "MilkDrop 1.04");
    select(ProbePlugin::path(), 0);
    WrapperDll dll;
    ASSERT_EQ(dll.initialize(), 1);
    ASSERT_TRUE(renders_go_on());

    click(dll, kMenuConfigure);
    ASSERT_TRUE(wait_until([&] { return count(kProbeInit) == 2; }, 20000));
    EXPECT_EQ(count(kProbeQuit), 1u);
    ASSERT_EQ(count(kProbeConfig), 1u);
    EXPECT_NE(probe_.calls(kProbeConfig)[0].thread_id, GetCurrentThreadId());
    EXPECT_TRUE(renders_go_on());
    dll.finalize();
}

TEST_F(CommandMenu, LoadStartsTheChosenPluginSwitchesAndTakesTheModuleSuffix)
{
    const std::string copy_path = dir_.file("vis_copy.dll");
    ASSERT_TRUE(CopyFileA(ProbePlugin::path().c_str(), copy_path.c_str(), FALSE));
    HMODULE copy = LoadLibraryA(copy_path.c_str());
    ASSERT_NE(copy, nullptr);
    ProbeControl* copy_control = proc_address<ProbeControlFunction>(copy, "probe_control")();
    probe_.control().module_count = 2;
    {
        WrapperDll dll;
        ASSERT_EQ(dll.initialize(), 1);
        EXPECT_EQ(load_through_dialog(dll, ProbePlugin::path(), false), "");
        ASSERT_TRUE(renders_go_on());

        EXPECT_EQ(load_through_dialog(dll, copy_path, false), "");
        EXPECT_EQ(count(kProbeQuit), 1u);
        EXPECT_TRUE(wait_until([&] { return copy_control->call_count > 3; }, 20000));

        EXPECT_EQ(load_through_dialog(dll, ProbePlugin::path() + "$1", false), "");
        ASSERT_TRUE(renders_go_on());
        EXPECT_EQ(probe_.calls(kProbeRender).back().module, 1);
        dll.finalize();
    }
    EXPECT_EQ(ini_value(ini(), kSection, "module_index"), "1");
    FreeLibrary(copy);
}

TEST_F(CommandMenu, FailedOrCancelledLoadKeepsTheRunningPluginAndModule)
{
    probe_.control().module_count = 2;
    select(ProbePlugin::path(), 1);
    const std::string broken = dir_.file("vis_broken.dll");
    write_file_text(broken, "not a library");
    WrapperDll dll;
    ASSERT_EQ(dll.initialize(), 1);
    ASSERT_TRUE(renders_go_on());

    for (const std::string& name : {dir_.file("vis_missing.dll") + "$0", broken}) {
        const size_t inits = count(kProbeInit);
        EXPECT_NE(load_through_dialog(dll, name, true), "") << name;
        ASSERT_TRUE(wait_until([&] { return count(kProbeInit) > inits; }, 20000)) << name;
        EXPECT_TRUE(renders_go_on());
        EXPECT_EQ(probe_.calls(kProbeRender).back().module, 1) << name;
    }

    const size_t quits = count(kProbeQuit);
    click(dll, kMenuLoad, [] {
        HWND dialog = wait_for_open_dialog(kUiTimeoutMs);
        ASSERT_NE(dialog, nullptr);
        cancel_dialog(dialog);
    });
    EXPECT_EQ(count(kProbeQuit), quits);
    EXPECT_TRUE(renders_go_on());
    dll.finalize();
    EXPECT_EQ(ini_value(ini(), kSection, "plugin_dll"), ProbePlugin::path());
    EXPECT_EQ(ini_value(ini(), kSection, "module_index"), "1");
}

TEST_F(CommandMenu, UnloadStopsAndForgetsThePluginButKeepsTheModule)
{
    probe_.control().module_count = 2;
    select(ProbePlugin::path(), 1);
    WrapperDll dll;
    ASSERT_EQ(dll.initialize(), 1);
    ASSERT_TRUE(renders_go_on());

    click(dll, kMenuUnload);
    EXPECT_EQ(count(kProbeQuit), 1u);
    EXPECT_EQ(click(dll, -1), kOnlyLoad);
    dll.finalize();
    EXPECT_EQ(ini_value(ini(), kSection, "plugin_dll"), "<missing>");
    EXPECT_EQ(ini_value(ini(), kSection, "module_index"), "1");
}

}  // namespace
