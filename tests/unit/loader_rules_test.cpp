#include "runtime/load_error_text.h"
#include "runtime/module_sample_rate.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(ModuleSampleRate, ScalesBy512Over576TruncatingTowardZero)
{
    EXPECT_EQ(module_sample_rate(44100), 39200);
    EXPECT_EQ(module_sample_rate(48000), 42666);
    EXPECT_EQ(module_sample_rate(22050), 19600);
    EXPECT_EQ(module_sample_rate(0), 0);
    EXPECT_EQ(module_sample_rate(-1000), -888);
}

TEST(ModuleSampleRate, ProductWrapsIn32Bits)
{
    // 5000000 * 512 = 2560000000 wraps to -1734967296.
    EXPECT_EQ(module_sample_rate(5000000), -3012096);
    EXPECT_EQ(module_sample_rate(4194303), 3728269);
}

TEST(LoadErrorText, SentenceThenTheDetailOnItsOwnLine)
{
    char out[512];
    compose_load_error(out, sizeof out, "The specified module could not be found.");
    EXPECT_EQ(std::string(out), std::string(kLoadErrorSentence) +
                                    "\nThe specified module could not be found.");
    compose_load_error(out, sizeof out, nullptr);
    EXPECT_EQ(std::string(out), kLoadErrorSentence);
}

TEST(LoadErrorText, LongDetailIsCutAtTheBufferAndTerminated)
{
    char out[300];
    memset(out, 'x', sizeof out);
    const std::string detail(2000, 'p');
    compose_load_error(out, 256, detail.c_str());
    EXPECT_EQ(strlen(out), 255u);
    EXPECT_EQ(out[256], 'x');

    memset(out, 'x', sizeof out);
    compose_load_error(out, 1, detail.c_str());
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(out[1], 'x');
}

}  // namespace
