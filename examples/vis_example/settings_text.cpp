#include "settings_text.h"

#include "drawing_rules.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kBarCount[] = "bar_count";
constexpr char kPeakFalloff[] = "peak_falloff";
constexpr char kBackgroundColour[] = "background_colour";
constexpr char kBarColour[] = "bar_colour";
constexpr char kPeakColour[] = "peak_colour";
constexpr char kWaveColour[] = "wave_colour";
constexpr char kEmbedInFrame[] = "embed_in_frame";

// False unless the whole text is a decimal number that fits an int.
bool parse_int(const std::string& text, int* value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX)
        return false;
    *value = static_cast<int>(parsed);
    return true;
}

void parse_bounded(const std::string& text, int low, int high, int* value)
{
    int parsed = 0;
    if (parse_int(text, &parsed))
        *value = std::clamp(parsed, low, high);
}

void parse_choice(const std::string& text, bool* value)
{
    if (text == "0" || text == "1")
        *value = text == "1";
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string format_colour(uint32_t colour)
{
    const unsigned red = colour & 0xFF;
    const unsigned green = (colour >> 8) & 0xFF;
    const unsigned blue = (colour >> 16) & 0xFF;
    const char digits[] = "0123456789ABCDEF";
    std::string text = "#";
    for (unsigned part : {red, green, blue}) {
        text += digits[part >> 4];
        text += digits[part & 0xF];
    }
    return text;
}

bool parse_colour(const std::string& text, uint32_t* colour)
{
    if (text.size() != 7 || text[0] != '#')
        return false;
    uint32_t rgb = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        const int digit = hex_digit(text[i]);
        if (digit < 0)
            return false;
        rgb = rgb << 4 | static_cast<uint32_t>(digit);
    }
    // The text reads red, green, blue; the value holds them the other way round.
    *colour = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    return true;
}

std::vector<SettingText> format_settings(const VisSettings& settings)
{
    return {
        {kBarCount, std::to_string(settings.bar_count)},
        {kPeakFalloff, std::to_string(settings.peak_falloff)},
        {kBackgroundColour, format_colour(settings.background_colour)},
        {kBarColour, format_colour(settings.bar_colour)},
        {kPeakColour, format_colour(settings.peak_colour)},
        {kWaveColour, format_colour(settings.wave_colour)},
        {kEmbedInFrame, settings.embed_in_frame ? "1" : "0"},
    };
}

VisSettings parse_settings(const std::vector<SettingText>& texts)
{
    VisSettings settings;
    for (const SettingText& entry : texts) {
        const std::string& text = entry.text;
        if (std::strcmp(entry.key, kBarCount) == 0)
            parse_bounded(text, kMinBars, kMaxBars, &settings.bar_count);
        else if (std::strcmp(entry.key, kPeakFalloff) == 0)
            parse_bounded(text, kMinPeakFalloff, kMaxPeakFalloff, &settings.peak_falloff);
        else if (std::strcmp(entry.key, kBackgroundColour) == 0)
            parse_colour(text, &settings.background_colour);
        else if (std::strcmp(entry.key, kBarColour) == 0)
            parse_colour(text, &settings.bar_colour);
        else if (std::strcmp(entry.key, kPeakColour) == 0)
            parse_colour(text, &settings.peak_colour);
        else if (std::strcmp(entry.key, kWaveColour) == 0)
            parse_colour(text, &settings.wave_colour);
        else if (std::strcmp(entry.key, kEmbedInFrame) == 0)
            parse_choice(text, &settings.embed_in_frame);
    }
    return settings;
}
