#include "host/path_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A 260-byte buffer followed by guard bytes that no operation may touch.
struct GuardedPath {
    char text[260];
    unsigned char guard[64];
    GuardedPath()
    {
        memset(text, 'x', sizeof text);
        text[0] = '\0';
        memset(guard, 0xA5, sizeof guard);
    }
    bool guard_intact() const
    {
        for (unsigned char byte : guard)
            if (byte != 0xA5)
                return false;
        return true;
    }
};

TEST(PathText, CopyTakesTextsUpTo259CharactersAndRefusesLongerOnes)
{
    for (size_t length : {0u, 1u, 258u, 259u, 260u, 261u, 1000u}) {
        GuardedPath path;
        const std::string source(length, 'a');
        const bool fitted = copy_path(path.text, sizeof path.text, source.c_str());
        EXPECT_EQ(fitted, length <= 259) << length;
        EXPECT_EQ(std::string(path.text), fitted ? source : std::string()) << length;
        EXPECT_TRUE(path.guard_intact()) << length;
    }
}

TEST(PathText, AppendRefusesWhatWouldNotFitAndKeepsTheText)
{
    GuardedPath path;
    const std::string directory(240, 'd');
    ASSERT_TRUE(copy_path(path.text, sizeof path.text, directory.c_str()));
    EXPECT_FALSE(append_path(path.text, sizeof path.text, "\\zeko_vis_winamp.ini"));
    EXPECT_EQ(std::string(path.text), directory);
    EXPECT_TRUE(append_path(path.text, sizeof path.text, "\\zeko_vis_winamp.in"));
    EXPECT_EQ(strlen(path.text), 259u);
    EXPECT_FALSE(append_path(path.text, sizeof path.text, "i"));
    EXPECT_TRUE(path.guard_intact());
}

TEST(PathText, CutAtLastSeparatorTakesEitherSlash)
{
    char mixed[] = "C:\\a/b\\c.exe";
    EXPECT_TRUE(cut_at_last_separator(mixed));
    EXPECT_STREQ(mixed, "C:\\a/b");
    char forward[] = "C:/a/b";
    EXPECT_TRUE(cut_at_last_separator(forward));
    EXPECT_STREQ(forward, "C:/a");
    char bare[] = "vis_x.dll";
    EXPECT_FALSE(cut_at_last_separator(bare));
    EXPECT_STREQ(bare, "vis_x.dll");
}

TEST(PathText, SeparatorIsNeededAfterEmptyOrPlainEnding)
{
    EXPECT_TRUE(needs_separator(""));
    EXPECT_TRUE(needs_separator("C:\\dir"));
    EXPECT_FALSE(needs_separator("C:\\dir\\"));
    EXPECT_FALSE(needs_separator("C:/dir/"));
}

}  // namespace
