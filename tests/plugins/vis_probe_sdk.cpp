#include "tests/plugins/vis_probe_sdk.h"

#include "tests/plugins/vis_probe_resources.h"

namespace {

// A service as the SDK declares it: an object whose table's first entry dispatches.
struct SdkService;
using SdkDispatch = int(__thiscall*)(SdkService* self, int code, void* result, void** params,
                                     int count);
struct SdkServiceTable {
    SdkDispatch dispatch;
};
struct SdkService {
    const SdkServiceTable* table;
};

// The SDK's call helper: each argument is copied, and the array holds the address of each
// copy, so a GUID travels by value. The fallback comes back when the call is not answered.
template <typename Result, typename... Args>
Result sdk_call(SdkService* service, int code, Result fallback, Args... args)
{
    void* params[] = {&args..., nullptr};
    Result result;
    if (service && service->table->dispatch(service, code, &result, params,
                                            static_cast<int>(sizeof...(Args))))
        return result;
    return fallback;
}

constexpr int kFindService = 50;
constexpr int kGetInterface = 300;
constexpr int kGetString = 10;
constexpr int kGetStringW = 11;
constexpr int kStartLanguage = 30;
constexpr int kCreateDialog = 50;
constexpr int kDialogBox = 51;
constexpr int kLoadMenu = 52;
constexpr int kCreateDialogW = 53;
constexpr int kDialogBoxW = 54;
constexpr int kLoadMenuW = 55;
constexpr int kLoadAccelerators = 80;
constexpr int kLoadAcceleratorsW = 81;
constexpr int kMouseWheelInDialog = 365;
constexpr int kIssueCallback = 30;

const GUID kLanguageId = {0x30AED4E5, 0xEF10, 0x4277,
                          {0x8D, 0x49, 0x27, 0xAB, 0x55, 0x70, 0xE8, 0x91}};
const GUID kApplicationId = {0x23B96771, 0x09D7, 0x46D3,
                             {0x9A, 0xE2, 0x20, 0xDC, 0xEA, 0x6C, 0x86, 0xEA}};
const GUID kSyscbId = {0x57B7A1B6, 0x700E, 0x44FF,
                       {0x9C, 0xB0, 0x70, 0xB9, 0x2B, 0xAF, 0x39, 0x59}};

SdkService* g_language = nullptr;
SdkService* g_application = nullptr;
SdkService* g_syscb = nullptr;
HINSTANCE g_language_instance = nullptr;
HINSTANCE g_own_instance = nullptr;

SdkService* find_service(SdkService* directory, const GUID& id)
{
    SdkService* factory = sdk_call(directory, kFindService, static_cast<SdkService*>(nullptr), id);
    const int global_lock = TRUE;
    return sdk_call(factory, kGetInterface, static_cast<SdkService*>(nullptr), global_lock);
}

char* get_string(UINT id)
{
    return sdk_call(g_language, kGetString, static_cast<char*>(nullptr), g_language_instance,
                    g_own_instance, id, static_cast<char*>(nullptr), size_t{0});
}

wchar_t* get_wide_string(UINT id)
{
    return sdk_call(g_language, kGetStringW, static_cast<wchar_t*>(nullptr), g_language_instance,
                    g_own_instance, id, static_cast<wchar_t*>(nullptr), size_t{0});
}

INT_PTR CALLBACK ending_dialog_proc(HWND dialog, UINT message, WPARAM, LPARAM lparam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    EndDialog(dialog, lparam);
    return TRUE;
}

INT_PTR CALLBACK options_dialog_proc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

void use_strings(ProbeSdkRecord* record)
{
    lstrcpynA(record->text, get_string(PROBE_TEXT_STRING), kProbeSdkText);
    lstrcpynW(record->wide_text, get_wide_string(PROBE_WIDE_STRING), kProbeSdkText);
    wsprintfW(record->formatted, get_wide_string(PROBE_FORMAT_STRING), 7);
    lstrcpyW(record->missing_then_text, get_wide_string(PROBE_MISSING_STRING));
    lstrcatW(record->missing_then_text, get_wide_string(PROBE_WIDE_STRING));
}

int32_t menu_item_count(HMENU menu)
{
    if (!menu)
        return -1;
    const int32_t count = GetMenuItemCount(GetSubMenu(menu, 0));
    DestroyMenu(menu);
    return count;
}

int32_t took_table(HACCEL table, int32_t bit)
{
    if (!table)
        return 0;
    DestroyAcceleratorTable(table);
    return bit;
}

void use_menus_and_accelerators(ProbeSdkRecord* record)
{
    const UINT menu = PROBE_MENU;
    record->menu_items[0] = menu_item_count(sdk_call(
        g_language, kLoadMenu, static_cast<HMENU>(nullptr), g_language_instance, g_own_instance, menu));
    record->menu_items[1] = menu_item_count(sdk_call(
        g_language, kLoadMenuW, static_cast<HMENU>(nullptr), g_language_instance, g_own_instance, menu));
    const HACCEL none = nullptr;
    record->accelerators_loaded =
        took_table(sdk_call(g_language, kLoadAccelerators, none, g_language_instance,
                            g_own_instance, MAKEINTRESOURCEA(PROBE_ACCELERATORS)),
                   1) |
        took_table(sdk_call(g_language, kLoadAcceleratorsW, none, g_language_instance,
                            g_own_instance, MAKEINTRESOURCEW(PROBE_ACCELERATORS)),
                   2) |
        // The SDK's wide call sends the ANSI code.
        took_table(sdk_call(g_language, kLoadAccelerators, none, g_language_instance,
                            g_own_instance, L"" PROBE_NAMED_ACCELERATORS),
                   4);
}

void use_dialogs(HWND parent, ProbeSdkRecord* record)
{
    const UINT options = PROBE_OPTIONS_DIALOG;
    const int codes[2] = {kCreateDialog, kCreateDialogW};
    for (int wide = 0; wide < 2; ++wide) {
        HWND dialog = sdk_call(g_language, codes[wide], static_cast<HWND>(nullptr),
                               g_language_instance, g_own_instance, options, parent,
                               options_dialog_proc, LPARAM{0});
        record->skin_option_enabled[wide] = IsWindowEnabled(GetDlgItem(dialog, PROBE_SKIN_OPTION));
        record->fullscreen_option_enabled[wide] =
            IsWindowEnabled(GetDlgItem(dialog, PROBE_FULLSCREEN_OPTION));
        if (wide)
            GetDlgItemTextW(dialog, PROBE_WIDE_LABEL, record->wide_label, kProbeSdkText);
        DestroyWindow(dialog);
    }
    record->modal_results[0] =
        sdk_call(g_language, kDialogBox, INT_PTR{-2}, g_language_instance, g_own_instance, options,
                 parent, ending_dialog_proc, LPARAM{51});
    record->modal_results[1] =
        sdk_call(g_language, kDialogBoxW, INT_PTR{-2}, g_language_instance, g_own_instance,
                 options, parent, ending_dialog_proc, LPARAM{54});
}

// The fallbacks differ from the host's answers (FALSE and 0), so the record tells them apart.
void use_application_and_callbacks(HWND parent, ProbeSdkRecord* record)
{
    const int controls[] = {PROBE_SKIN_OPTION};
    record->mouse_wheel_result =
        sdk_call(g_application, kMouseWheelInDialog, BOOL{TRUE}, parent, UINT{WM_MOUSEWHEEL},
                 WPARAM{0}, LPARAM{0}, static_cast<const int*>(controls), size_t{1});
    record->callback_result = sdk_call(g_syscb, kIssueCallback, -1, 1, 2, intptr_t{0}, intptr_t{0});
}

INT_PTR CALLBACK kept_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* record = reinterpret_cast<ProbeSdkRecord*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        InterlockedExchange(&reinterpret_cast<ProbeSdkRecord*>(lparam)->kept_dialog_open, 1);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wparam));
        if (record)
            InterlockedExchange(&record->kept_dialog_open, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void sdk_find_services(HWND winamp, ProbeSdkRecord* record)
{
    auto* directory = reinterpret_cast<SdkService*>(SendMessageA(winamp, WM_USER, 0, 3025));
    g_language = find_service(directory, kLanguageId);
    g_application = find_service(directory, kApplicationId);
    g_syscb = find_service(directory, kSyscbId);
    record->services_found = (g_language ? kProbeSdkLanguage : 0) |
                             (g_application ? kProbeSdkApplication : 0) |
                             (g_syscb ? kProbeSdkSyscb : 0);
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&sdk_find_services), &g_own_instance);
    record->own_instance = g_own_instance;
    g_language_instance = sdk_call(g_language, kStartLanguage, static_cast<HINSTANCE>(nullptr),
                                   g_own_instance, kLanguageId);
    record->language_instance = g_language_instance;
}

void sdk_use_services(HWND winamp, ProbeSdkRecord* record)
{
    use_strings(record);
    use_menus_and_accelerators(record);
    use_dialogs(winamp, record);
    use_application_and_callbacks(winamp, record);
}

void sdk_copy_titles(HWND winamp, ProbeSdkRecord* record)
{
    lstrcpynA(record->title, reinterpret_cast<const char*>(SendMessageA(winamp, WM_USER, 0, 212)),
              kProbeSdkText);
    lstrcpynW(record->wide_title,
              reinterpret_cast<const wchar_t*>(SendMessageA(winamp, WM_USER, 0, 213)),
              kProbeSdkText);
}

void sdk_run_kept_dialog(HWND parent, ProbeSdkRecord* record)
{
    const UINT options = PROBE_OPTIONS_DIALOG;
    record->kept_dialog_result =
        sdk_call(g_language, kDialogBoxW, INT_PTR{-2}, g_language_instance, g_own_instance,
                 options, parent, kept_dialog_proc, reinterpret_cast<LPARAM>(record));
}
