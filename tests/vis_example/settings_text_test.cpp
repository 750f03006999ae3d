// The example plug-in's settings as text in the ini file: what is written, what is read
// back, and what a damaged or missing value falls back to.
#include "examples/vis_example/settings_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string text_of(const std::vector<SettingText>& texts, const char* key)
{
    for (const SettingText& entry : texts)
        if (std::strcmp(entry.key, key) == 0)
            return entry.text;
    return "<missing>";
}

// The texts for the default settings with one key's text replaced.
std::vector<SettingText> with_text(const char* key, const std::string& text)
{
    std::vector<SettingText> texts = format_settings(VisSettings());
    for (SettingText& entry : texts)
        if (std::strcmp(entry.key, key) == 0)
            entry.text = text;
    return texts;
}

TEST(VisExampleSettings, WrittenAsReadableTextAndReadBackUnchanged)
{
    VisSettings settings;
    settings.bar_count = 77;
    settings.peak_falloff = 9;
    settings.background_colour = 0x102030;
    settings.bar_colour = 0x0080FF;  // orange: red FF, green 80, blue 00
    settings.peak_colour = 0xABCDEF;
    settings.wave_colour = 0x000001;
    settings.embed_in_frame = false;

    const std::vector<SettingText> texts = format_settings(settings);
    EXPECT_EQ(text_of(texts, "bar_count"), "77");
    EXPECT_EQ(text_of(texts, "peak_falloff"), "9");
    EXPECT_EQ(text_of(texts, "bar_colour"), "#FF8000");
    EXPECT_EQ(text_of(texts, "background_colour"), "#302010");
    EXPECT_EQ(text_of(texts, "embed_in_frame"), "0");

    const VisSettings read = parse_settings(texts);
    EXPECT_EQ(read.bar_count, 77);
    EXPECT_EQ(read.peak_falloff, 9);
    EXPECT_EQ(read.background_colour, 0x102030u);
    EXPECT_EQ(read.bar_colour, 0x0080FFu);
    EXPECT_EQ(read.peak_colour, 0xABCDEFu);
    EXPECT_EQ(read.wave_colour, 0x000001u);
    EXPECT_FALSE(read.embed_in_frame);
}

TEST(VisExampleSettings, MissingEmptyOrForeignTextKeepsTheDefaults)
{
    const VisSettings defaults;
    for (const std::vector<SettingText>& texts :
         {std::vector<SettingText>{}, with_text("bar_count", ""), with_text("bar_count", "12x"),
          with_text("bar_count", " 12"), with_text("bar_count", "99999999999"),
          with_text("bar_colour", "FF8000"), with_text("bar_colour", "#FF800"),
          with_text("bar_colour", "#GG8000"), with_text("embed_in_frame", "2"),
          with_text("embed_in_frame", "yes")}) {
        const VisSettings read = parse_settings(texts);
        EXPECT_EQ(read.bar_count, defaults.bar_count);
        EXPECT_EQ(read.bar_colour, defaults.bar_colour);
        EXPECT_EQ(read.embed_in_frame, defaults.embed_in_frame);
    }
}

TEST(VisExampleSettings, NumbersOutsideTheirRangeComeToItsNearestEnd)
{
    EXPECT_EQ(parse_settings(with_text("bar_count", "1000")).bar_count, 128);
    EXPECT_EQ(parse_settings(with_text("bar_count", "0")).bar_count, 4);
    EXPECT_EQ(parse_settings(with_text("bar_count", "-5")).bar_count, 4);
    EXPECT_EQ(parse_settings(with_text("peak_falloff", "999")).peak_falloff, 64);
    EXPECT_EQ(parse_settings(with_text("peak_falloff", "0")).peak_falloff, 1);
}

TEST(VisExampleSettings, ColoursAcceptEitherCaseOfHexDigits)
{
    uint32_t colour = 7;
    EXPECT_TRUE(parse_colour("#ff8000", &colour));
    EXPECT_EQ(colour, 0x0080FFu);
    EXPECT_TRUE(parse_colour("#Ab12cD", &colour));
    EXPECT_EQ(colour, 0xCD12ABu);
    EXPECT_FALSE(parse_colour("#ff80000", &colour));
    EXPECT_EQ(colour, 0xCD12ABu) << "a refused text leaves the colour alone";
    EXPECT_EQ(format_colour(0xCD12AB), "#AB12CD");
}

}  // namespace
