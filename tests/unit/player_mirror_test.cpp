#include "emulation/player_mirror.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

std::wstring mirror(const std::wstring& read)
{
    wchar_t buffer[kTitleCapacity] = {};
    read.copy(buffer, kTitleCapacity);
    return title_to_mirror(buffer);
}

TEST(PlayerMirror, TitleLosesOnlyTheExactThreeAsteriskPrefix)
{
    EXPECT_EQ(mirror(L"*** 12. Artist - Track"), L"12. Artist - Track");
    EXPECT_EQ(mirror(L"*** "), L"");
    EXPECT_EQ(mirror(L"*** *** twice"), L"*** twice");
    EXPECT_EQ(mirror(L"** Track"), L"** Track");
    EXPECT_EQ(mirror(L"***Track"), L"***Track");
    EXPECT_EQ(mirror(L" *** Track"), L" *** Track");
    EXPECT_EQ(mirror(L"***"), L"***");
    EXPECT_EQ(mirror(L""), L"");
}

TEST(PlayerMirror, TitleIsCutTo119CharactersEvenWithoutATerminatorInTheBuffer)
{
    const std::wstring long_title(200, L'x');
    EXPECT_EQ(mirror(long_title), std::wstring(119, L'x'));
    EXPECT_EQ(mirror(L"*** " + long_title), std::wstring(115, L'x'));
    EXPECT_EQ(mirror(std::wstring(119, L'y')), std::wstring(119, L'y'));
}

TEST(PlayerMirror, SampleRateScalesThe11kFamilyAndMultipliesFrom46On)
{
    const struct {
        int32_t khz, hz;
    } rates[] = {{44, 44100}, {22, 22050}, {11, 11025}, {48, 48000}, {32, 32072}, {45, 45102},
                 {46, 46000}, {0, 0},      {8, 8018},   {16, 16036}, {96, 96000}, {1, 1002},
                 {-1, -1002}};
    for (const auto& rate : rates)
        EXPECT_EQ(sample_rate_from_khz(rate.khz), rate.hz) << rate.khz;
}

TEST(PlayerMirror, SampleRateOverflowWrapsLike32BitArithmetic)
{
    EXPECT_EQ(sample_rate_from_khz(3000000), -1294967296);
    EXPECT_EQ(sample_rate_from_khz(-3000), 1288148);
}

} // namespace
