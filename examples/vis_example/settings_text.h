// The plug-in's settings and their text form in the ini file. No Windows calls here: the
// file itself is read and written by settings_file.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Colours are Windows colour values, 0x00BBGGRR.
struct VisSettings {
    int bar_count = 32;
    int peak_falloff = 3;  // levels (of 255) a frame
    uint32_t background_colour = 0x000000;
    uint32_t bar_colour = 0x5AC828;   // green
    uint32_t peak_colour = 0xFFFFFF;  // white
    uint32_t wave_colour = 0x28BEFF;  // amber
    // Draw in the frame the host offers; otherwise in a window of the plug-in's own.
    bool embed_in_frame = true;
};

constexpr int kMinPeakFalloff = 1;
constexpr int kMaxPeakFalloff = 64;

struct SettingText {
    const char* key;
    std::string text;
};

// Every key with its text, in the order they are written: numbers in decimal, colours as
// "#RRGGBB" (red first, as people write them), the choice as "0" or "1".
std::vector<SettingText> format_settings(const VisSettings& settings);

// The settings that the texts read from the file describe. A key that is missing, empty or
// not of its kind keeps its default; a number outside its range is brought to the nearest
// end of it.
VisSettings parse_settings(const std::vector<SettingText>& texts);

std::string format_colour(uint32_t colour);
// False, leaving `colour` alone, unless the text is "#" and exactly six hex digits.
bool parse_colour(const std::string& text, uint32_t* colour);
