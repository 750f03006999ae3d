#include "tests/plugins/vis_probe_dialog.h"

#include <vector>

namespace {

constexpr WORD kEditClass = 0x0081;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditId = 100;

INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    // A button press ends it, as a user's would.
    if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        DestroyWindow(dialog);
        return TRUE;
    }
    return FALSE;
}

void append_text(std::vector<WORD>& words, const wchar_t* text)
{
    do
        words.push_back(static_cast<WORD>(*text));
    while (*text++);
}

void align_to_dword(std::vector<WORD>& words)
{
    if (words.size() % 2)
        words.push_back(0);
}

// DLGITEMTEMPLATE: style, extended style, x, y, cx, cy, id, class atom, text, no data.
void append_item(std::vector<WORD>& words, DWORD style, short x, short y, short cx, short cy,
                 WORD id, WORD class_atom, const wchar_t* text)
{
    align_to_dword(words);
    words.insert(words.end(), {LOWORD(style), HIWORD(style), 0, 0, static_cast<WORD>(x),
                               static_cast<WORD>(y), static_cast<WORD>(cx),
                               static_cast<WORD>(cy), id, 0xFFFF, class_atom});
    append_text(words, text);
    words.push_back(0);
}

std::vector<WORD> editor_template()
{
    const DWORD style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    std::vector<WORD> words = {LOWORD(style), HIWORD(style), 0, 0, 2, 10, 10, 160, 60};
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    append_text(words, L"vis_probe editor");
    append_item(words, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 8, 8, 144, 14, kEditId,
                kEditClass, L"preset 1");
    append_item(words, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 56, 32, 48, 14, IDOK, kButtonClass,
                L"Close");
    return words;
}

}  // namespace

HWND open_own_dialog(HWND owner)
{
    std::vector<WORD> words = editor_template();
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&dialog_proc), &module);
    return CreateDialogIndirectParamA(module, reinterpret_cast<LPCDLGTEMPLATEA>(words.data()), owner,
                                      dialog_proc, 0);
}

void close_own_dialog(HWND* dialog)
{
    if (*dialog && IsWindow(*dialog))
        DestroyWindow(*dialog);
    *dialog = nullptr;
}
