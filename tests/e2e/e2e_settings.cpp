// Where the settings file lies and what Initialize and Finalize read from it and write to it.
#include "tests/support/ini_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_player.h"
#include "tests/support/wrapper_dll.h"

#include <gtest/gtest.h>

namespace {

const char kSection[] = "zeko_vis_winamp";

std::string exe_dir_ini()
{
    return build_dir() + "zeko_vis_winamp.ini";
}

// One Initialize/Finalize of a freshly loaded wrapper, as one run of the player.
void run_player_once()
{
    WrapperDll dll;
    EXPECT_EQ(dll.initialize(), 1);
    dll.finalize();
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(exe_dir_ini().c_str()); }
    void TearDown() override { DeleteFileA(exe_dir_ini().c_str()); }
    TempDir dir_;
};

TEST_F(Settings, WithoutWinampWindowTheFileLiesBesideThePlayer)
{
    TestPlayer::Options options;
    options.winamp_window = false;
    TestPlayer player(options);
    set_ini_value(exe_dir_ini(), kSection, "module_index", "7");

    WrapperDll dll;
    EXPECT_EQ(dll.initialize(), 1);
    // The value read at Initialize comes back at Finalize, into the same file.
    DeleteFileA(exe_dir_ini().c_str());
    dll.finalize();
    EXPECT_EQ(ini_value(exe_dir_ini(), kSection, "module_index"), "7");
}

TEST_F(Settings, PlayerAnswerNamesTheDirectoryInAnyOfItsThreeShapes)
{
    TestPlayer player;
    const std::string existing_file = dir_.file("player.cfg");
    write_file_text(existing_file, "x");
    for (const std::string& answer : {dir_.path(), dir_.path() + "\\", existing_file}) {
        const std::string ini = dir_.file("zeko_vis_winamp.ini");
        DeleteFileA(ini.c_str());
        set_ini_value(ini, kSection, "module_index", "3");
        player.set_settings_answer(answer.c_str());

        WrapperDll dll;
        EXPECT_EQ(dll.initialize(), 1);
        DeleteFileA(ini.c_str());
        dll.finalize();
        EXPECT_EQ(ini_value(ini, kSection, "module_index"), "3") << answer;
        EXPECT_FALSE(file_exists(exe_dir_ini())) << answer;
    }
}

TEST_F(Settings, NoAnswerFromThePlayerFallsBackToThePlayersDirectory)
{
    TestPlayer player;
    player.set_settings_answer(nullptr);
    set_ini_value(exe_dir_ini(), kSection, "module_index", "4");
    WrapperDll dll;
    EXPECT_EQ(dll.initialize(), 1);
    DeleteFileA(exe_dir_ini().c_str());
    dll.finalize();
    EXPECT_EQ(ini_value(exe_dir_ini(), kSection, "module_index"), "4");
}

TEST_F(Settings, SelectionSurvivesRunsAndOtherKeysAreKept)
{
    TestPlayer player;
    player.set_settings_answer(dir_.path().c_str());
    const std::string ini = dir_.file("zeko_vis_winamp.ini");
    set_ini_value(ini, kSection, "module_index", "2");
    set_ini_value(ini, kSection, "colour", "blue");
    set_ini_value(ini, "other", "key", "kept");

    {
        // Two runs in one load of the library, then a fresh load.
        WrapperDll dll;
        EXPECT_EQ(dll.initialize(), 1);
        dll.finalize();
        EXPECT_EQ(dll.initialize(), 1);
        dll.finalize();
    }
    run_player_once();
    EXPECT_EQ(ini_value(ini, kSection, "module_index"), "2");
    EXPECT_EQ(ini_value(ini, kSection, "colour"), "blue");
    EXPECT_EQ(ini_value(ini, "other", "key"), "kept");
}

TEST_F(Settings, EmptyAndNonPositiveValuesDeleteTheirKeys)
{
    TestPlayer player;
    player.set_settings_answer(dir_.path().c_str());
    const std::string ini = dir_.file("zeko_vis_winamp.ini");

    set_ini_value(ini, kSection, "plugin_dll", "");
    set_ini_value(ini, kSection, "module_index", "0");
    run_player_once();
    EXPECT_EQ(ini_value(ini, kSection, "plugin_dll"), "<missing>");
    EXPECT_EQ(ini_value(ini, kSection, "module_index"), "<missing>");

    set_ini_value(ini, kSection, "module_index", "-5");
    run_player_once();
    EXPECT_EQ(ini_value(ini, kSection, "module_index"), "<missing>");
}

TEST_F(Settings, ZeroIndexLoadsZeroButAnEmptyOneKeepsTheValue)
{
    TestPlayer player;
    player.set_settings_answer(dir_.path().c_str());
    const std::string ini = dir_.file("zeko_vis_winamp.ini");

    WrapperDll dll;
    set_ini_value(ini, kSection, "module_index", "6");
    EXPECT_EQ(dll.initialize(), 1);
    dll.finalize();

    // An empty value leaves the 6 read before; the save writes it back.
    set_ini_value(ini, kSection, "module_index", "");
    EXPECT_EQ(dll.initialize(), 1);
    dll.finalize();
    EXPECT_EQ(ini_value(ini, kSection, "module_index"), "6");

    // "0" really loads 0, which the save expresses by deleting the key.
    set_ini_value(ini, kSection, "module_index", "0");
    EXPECT_EQ(dll.initialize(), 1);
    dll.finalize();
    EXPECT_EQ(ini_value(ini, kSection, "module_index"), "<missing>");
}

TEST_F(Settings, OverlongAnswersFallBackAndOverlongDirectoriesKeepNoFile)
{
    TestPlayer player;
    for (size_t length : {300u, 5000u}) {
        const std::string answer = "C:\\" + std::string(length, 'd');
        player.set_settings_answer(answer.c_str());
        set_ini_value(exe_dir_ini(), kSection, "module_index", "9");
        WrapperDll dll;
        EXPECT_EQ(dll.initialize(), 1);
        DeleteFileA(exe_dir_ini().c_str());
        dll.finalize();
        EXPECT_EQ(ini_value(exe_dir_ini(), kSection, "module_index"), "9") << length;
        DeleteFileA(exe_dir_ini().c_str());
    }

    // A directory that fits a path buffer but not with the file name appended.
    const std::string too_long = "C:\\" + std::string(245, 'd');
    player.set_settings_answer(too_long.c_str());
    run_player_once();
    EXPECT_FALSE(file_exists(exe_dir_ini()));
}

TEST_F(Settings, OverlongPluginPathIsDroppedInsteadOfCut)
{
    TestPlayer player;
    player.set_settings_answer(dir_.path().c_str());
    const std::string ini = dir_.file("zeko_vis_winamp.ini");
    set_ini_value(ini, kSection, "plugin_dll", "C:\\" + std::string(1000, 'p') + ".dll");
    set_ini_value(ini, kSection, "module_index", "1");
    run_player_once();
    EXPECT_EQ(ini_value(ini, kSection, "plugin_dll"), "<missing>");
    EXPECT_EQ(ini_value(ini, kSection, "module_index"), "1");
}

}  // namespace
