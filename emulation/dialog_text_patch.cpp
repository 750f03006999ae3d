#include "emulation/dialog_text_patch.h"

#include <string>

namespace {

constexpr int kTextBufferSize = 256;
constexpr int kTextReadLimit = 255;
constexpr char kPlayerName[] = " ZEKO ";

// The words are ASCII, so one comparison serves both widths.
template <typename Char>
bool starts_with(const Char* text, const char* word)
{
    for (; *word; ++text, ++word)
        if (*text != static_cast<Char>(*word))
            return false;
    return true;
}

template <typename Char>
Char* find_word(Char* text, const char* word)
{
    for (Char* at = text; *at; ++at)
        if (starts_with(at, word))
            return at;
    return nullptr;
}

template <typename Char>
bool equals(const Char* text, const char* word)
{
    return starts_with(text, word) && text[std::char_traits<char>::length(word)] == Char(0);
}

template <typename Char>
BOOL patch_text(HWND window, int(WINAPI* get_text)(HWND, Char*, int),
                BOOL(WINAPI* set_text)(HWND, const Char*))
{
    Char text[kTextBufferSize] = {};
    get_text(window, text, kTextReadLimit);
    Char* found = find_word(text, "Winamp");
    if (!found)
        found = find_word(text, "winamp");
    if (!found)
        return TRUE;
    for (int i = 0; kPlayerName[i]; ++i)
        found[i] = static_cast<Char>(kPlayerName[i]);
    set_text(window, text);
    if (equals(text, "Integrate with  ZEKO  skin") ||
        equals(text, "&Minimize  ZEKO  when going fullscreen"))
        EnableWindow(window, FALSE);
    return TRUE;
}

}  // namespace

BOOL CALLBACK patch_child_text(HWND window, LPARAM)
{
    return patch_text<char>(window, GetWindowTextA, SetWindowTextA);
}

BOOL CALLBACK patch_child_text_wide(HWND window, LPARAM)
{
    return patch_text<wchar_t>(window, GetWindowTextW, SetWindowTextW);
}

void patch_children(HWND window, WNDENUMPROC patch)
{
    if (window)
        EnumChildWindows(window, patch, 0);
}
