#include "tools/player/player_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

OptionsResult parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "zeko_player.exe");
    return parse_player_options(static_cast<int>(arguments.size()), arguments.data());
}

TEST(PlayerOptions, NoArgumentsMeansBuiltInPieceUntilClosed)
{
    const OptionsResult result = parse({});
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.options.plugin_path, "");
    EXPECT_EQ(result.options.wav_path, "");
    EXPECT_EQ(result.options.seconds, 0.0);
    EXPECT_DOUBLE_EQ(result.options.first_picture_wait, 60.0);
    EXPECT_FALSE(result.options.show_help);
}

TEST(PlayerOptions, EveryOptionTakesItsValue)
{
    const OptionsResult result =
        parse({"--plugin", "C:\\vis\\vis_a.dll", "--wav", "song.wav", "--seconds", "2.5",
               "--first-picture-wait", "9", "--screenshot", "out.png", "--settings", "C:\\cfg", "--settings-from", "saved"});
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.options.plugin_path, "C:\\vis\\vis_a.dll");
    EXPECT_EQ(result.options.module_index, 0);
    EXPECT_EQ(result.options.wav_path, "song.wav");
    EXPECT_DOUBLE_EQ(result.options.seconds, 2.5);
    EXPECT_DOUBLE_EQ(result.options.first_picture_wait, 9.0);
    EXPECT_EQ(result.options.screenshot_path, "out.png");
    EXPECT_EQ(result.options.settings_dir, "C:\\cfg");
    EXPECT_EQ(result.options.settings_from, "saved");
}

TEST(PlayerOptions, ModuleSuffixOfThePluginChoosesTheModule)
{
    OptionsResult result = parse({"--plugin", "vis_x.dll$1"});
    EXPECT_EQ(result.options.plugin_path, "vis_x.dll");
    EXPECT_EQ(result.options.module_index, 1);
    result = parse({"--plugin", "vis_x.dll$12.dll"});
    EXPECT_EQ(result.options.plugin_path, "vis_x.dll");
    EXPECT_EQ(result.options.module_index, 12);
}

TEST(PlayerOptions, BadCommandLinesAreRefusedWithAReason)
{
    EXPECT_EQ(parse({"--speed", "2"}).error, "unknown option --speed");
    EXPECT_EQ(parse({"song.wav"}).error, "unknown option song.wav");
    EXPECT_EQ(parse({"--wav"}).error, "--wav needs a value");
    EXPECT_EQ(parse({"--plugin", ""}).error, "--plugin needs a value");
    for (const char* seconds : {"0", "-1", "abc", "5x", "inf", "nan", "1e9"})
        EXPECT_EQ(parse({"--seconds", seconds}).error,
                  std::string("--seconds needs a number of seconds above 0, not ") + seconds);
    EXPECT_EQ(parse({"--first-picture-wait", "0"}).error,
              "--first-picture-wait needs a number of seconds above 0, not 0");
}

TEST(PlayerOptions, HelpIsAskedForAmongOtherOptions)
{
    EXPECT_TRUE(parse({"--seconds", "1", "--help"}).options.show_help);
    EXPECT_TRUE(parse({"-h"}).options.show_help);
}

}  // namespace
