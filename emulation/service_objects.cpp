#include "emulation/service_objects.h"

#include <cstring>

const GUID LanguageServiceId = {
    0x30AED4E5, 0xEF10, 0x4277, {0x8D, 0x49, 0x27, 0xAB, 0x55, 0x70, 0xE8, 0x91}};

namespace {

constexpr char kPlayerName[] = " ZEKO ";
constexpr int kTextBufferSize = 256;
constexpr int kTextReadLimit = 255;

// Each argument is reached through one indirection.
template <typename T>
T argument(void* const* args, int index)
{
    return *static_cast<const T*>(args[index]);
}

int32_t to_cell(const void* address)
{
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(address));
}

bool is_language_service_id(const void* identifier)
{
    // Compared as four words, as a plug-in's copy need not be aligned.
    uint32_t wanted[4];
    uint32_t given[4];
    std::memcpy(wanted, &LanguageServiceId, sizeof wanted);
    std::memcpy(given, identifier, sizeof given);
    return given[0] == wanted[0] && given[1] == wanted[1] && given[2] == wanted[2] &&
           given[3] == wanted[3];
}

int32_t __thiscall directory_dispatch(ServiceObject*, int32_t code, int32_t* result,
                                      void* const* args, int32_t argc)
{
    if (code != kFindService || argc != 1)
        return 0;
    const void* identifier = argument<const void*>(args, 0);
    if (!identifier || !is_language_service_id(identifier))
        return 0;
    *result = to_cell(&LanguageService);
    return 1;
}

// A null window would make EnumChildWindows walk every top-level window of the desktop.
void patch_children(HWND window)
{
    if (window)
        EnumChildWindows(window, patch_child_text, 0);
}

int32_t load_text(int32_t* result, void* const* args)
{
    char* buffer = argument<char*>(args, 3);
    if (!LoadStringA(argument<HINSTANCE>(args, 1), argument<UINT>(args, 2), buffer,
                     argument<int>(args, 4)))
        return 0;
    *result = to_cell(buffer);
    return 1;
}

int32_t open_dialog(int32_t* result, void* const* args)
{
    HWND parent = argument<HWND>(args, 3);
    HWND dialog = CreateDialogParamA(argument<HINSTANCE>(args, 1), argument<LPCSTR>(args, 2),
                                     parent, argument<DLGPROC>(args, 4),
                                     argument<LPARAM>(args, 5));
    *result = to_cell(dialog);
    patch_children(parent);
    patch_children(dialog);
    return 1;
}

int32_t run_dialog(int32_t* result, void* const* args)
{
    *result = static_cast<int32_t>(DialogBoxParamA(
        argument<HINSTANCE>(args, 1), argument<LPCSTR>(args, 2), argument<HWND>(args, 3),
        argument<DLGPROC>(args, 4), argument<LPARAM>(args, 5)));
    return 1;
}

int32_t __thiscall language_dispatch(ServiceObject*, int32_t code, int32_t* result,
                                     void* const* args, int32_t argc)
{
    switch (code) {
    case kLoadText:
        return argc == 5 ? load_text(result, args) : 0;
    case kFixedValue:
        if (argc != 2)
            return 0;
        *result = static_cast<int32_t>(kFixedServiceValue);
        return 1;
    case kOpenDialog:
        return argc == 6 ? open_dialog(result, args) : 0;
    case kRunDialog:
        return argc == 6 ? run_dialog(result, args) : 0;
    case kGetSelf:
        *result = to_cell(&LanguageService);
        return 1;
    default:
        return 0;
    }
}

// Constant tables, so both objects are ready before any code of the library runs.
constexpr ServiceOperations kDirectoryOperations = {directory_dispatch};
constexpr ServiceOperations kLanguageOperations = {language_dispatch};

}  // namespace

ServiceObject ServiceDirectory = {&kDirectoryOperations};
ServiceObject LanguageService = {&kLanguageOperations};

BOOL CALLBACK patch_child_text(HWND window, LPARAM)
{
    char text[kTextBufferSize] = {};
    GetWindowTextA(window, text, kTextReadLimit);
    char* found = std::strstr(text, "Winamp");
    if (!found)
        found = std::strstr(text, "winamp");
    if (!found)
        return TRUE;
    std::memcpy(found, kPlayerName, sizeof kPlayerName - 1);
    SetWindowTextA(window, text);
    if (std::strcmp(text, "Integrate with  ZEKO  skin") == 0 ||
        std::strcmp(text, "&Minimize  ZEKO  when going fullscreen") == 0)
        EnableWindow(window, FALSE);
    return TRUE;
}
