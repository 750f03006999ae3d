#include "emulation/dialog_text_patch.h"
#include "emulation/service_objects.h"
#include "tests/support/plugin_dispatch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int32_t kUntouched = 0x5A5A5A5A;

int32_t dispatch(const ServiceObject& object, int32_t code, int32_t* result,
                 std::vector<void*> args)
{
    return dispatch_like_a_plugin(&object, code, result, std::move(args));
}

int32_t address_of(const void* pointer)
{
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(pointer));
}

// The identifier as a plug-in has it in memory, at an odd address.
struct IdentifierCopy {
    unsigned char bytes[17] = {0,    0xe5, 0xd4, 0xae, 0x30, 0x10, 0xef, 0x77, 0x42,
                               0x8d, 0x49, 0x27, 0xab, 0x55, 0x70, 0xe8, 0x91};
    void* address() { return bytes + 1; }
};

TEST(ServiceObjects, FindServiceAnswersTheLanguageServiceForItsIdentifierOnly)
{
    IdentifierCopy id;
    void* id_address = id.address();
    int32_t result = kUntouched;
    EXPECT_EQ(dispatch(ServiceDirectory, kFindService, &result, {&id_address}), 1);
    EXPECT_EQ(result, address_of(&LanguageService));

    void* null_address = nullptr;
    int32_t extra = 0;
    const struct {
        int32_t code;
        std::vector<void*> args;
    } refused[] = {{kFindService, {&id_address, &extra}},
                   {kFindService, {}},
                   {kFindService, {&null_address}},
                   {kFindService + 1, {&id_address}},
                   {0, {&id_address}}};
    for (const auto& call : refused) {
        result = kUntouched;
        EXPECT_EQ(dispatch(ServiceDirectory, call.code, &result, call.args), 0) << call.code;
        EXPECT_EQ(result, kUntouched);
    }

    id.bytes[16] ^= 0x01;
    EXPECT_EQ(dispatch(ServiceDirectory, kFindService, &result, {&id_address}), 0);
    EXPECT_EQ(result, kUntouched);
}

TEST(ServiceObjects, GetSelfAnswersTheObjectFindServiceHandsOutWhateverTheCount)
{
    IdentifierCopy id;
    void* id_address = id.address();
    int32_t found = 0;
    ASSERT_EQ(dispatch(ServiceDirectory, kFindService, &found, {&id_address}), 1);
    int32_t unused = 0;
    for (const std::vector<void*>& args :
         {std::vector<void*>{}, std::vector<void*>{&unused, &unused, &unused}}) {
        int32_t result = kUntouched;
        EXPECT_EQ(dispatch(LanguageService, kGetSelf, &result, args), 1);
        EXPECT_EQ(result, found);
    }
}

TEST(ServiceObjects, StartLanguageAnswersALoadedModuleElseTheFixedValueAndUnknownCodesAreRefused)
{
    int32_t unused = 0;
    int32_t result = kUntouched;
    EXPECT_EQ(dispatch(LanguageService, kStartLanguage, &result, {&unused, &unused}), 1);
    EXPECT_EQ(static_cast<uint32_t>(result), 0xDEADC0DEu);
    HMODULE own = GetModuleHandleA(nullptr);
    EXPECT_EQ(dispatch(LanguageService, kStartLanguage, &result, {&own, &unused}), 1);
    EXPECT_EQ(result, address_of(own));
    char* inside_module = reinterpret_cast<char*>(own) + 0x1000;
    EXPECT_EQ(dispatch(LanguageService, kStartLanguage, &result, {&inside_module, &unused}), 1);
    EXPECT_EQ(static_cast<uint32_t>(result), 0xDEADC0DEu);

    for (const int32_t code : {kStartLanguage, 0, 12, 91, 299, 301, -1}) {
        result = kUntouched;
        const std::vector<void*> args =
            code == kStartLanguage ? std::vector<void*>{&unused, &unused, &unused}
                                   : std::vector<void*>{&unused, &unused};
        EXPECT_EQ(dispatch(LanguageService, code, &result, args), 0) << code;
        EXPECT_EQ(result, kUntouched);
    }
}

BOOL CALLBACK take_first_string_block(HMODULE, LPCSTR, LPSTR name, LONG_PTR found)
{
    if (!IS_INTRESOURCE(name))
        return TRUE;
    *reinterpret_cast<UINT*>(found) = static_cast<UINT>(reinterpret_cast<uintptr_t>(name));
    return FALSE;
}

// A string of a system module, found rather than assumed: its number and its text.
bool find_system_string(HMODULE module, UINT* number, std::string* text)
{
    UINT block = 0;
    EnumResourceNamesA(module, RT_STRING, take_first_string_block,
                       reinterpret_cast<LONG_PTR>(&block));
    if (!block)
        return false;
    for (UINT candidate = (block - 1) * 16; candidate < block * 16; ++candidate) {
        char buffer[256];
        if (LoadStringA(module, candidate, buffer, sizeof buffer) >= 3) {
            *number = candidate;
            *text = buffer;
            return true;
        }
    }
    return false;
}

TEST(ServiceObjects, LoadTextLoadsFromTheNamedModuleIntoTheGivenBuffer)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    ASSERT_NE(user32, nullptr);
    UINT number = 0;
    std::string expected;
    ASSERT_TRUE(find_system_string(user32, &number, &expected));

    int32_t unused = 0;
    HINSTANCE instance = user32;
    char buffer[256];
    char* buffer_address = buffer;
    int size = sizeof buffer;
    int32_t result = kUntouched;
    EXPECT_EQ(dispatch(LanguageService, kLoadText, &result,
                       {&unused, &instance, &number, &buffer_address, &size}),
              1);
    EXPECT_EQ(result, address_of(buffer));
    EXPECT_EQ(std::string(buffer), expected);

    // The size is the buffer's in characters, the terminator included.
    size = 3;
    EXPECT_EQ(dispatch(LanguageService, kLoadText, &result,
                       {&unused, &instance, &number, &buffer_address, &size}),
              1);
    EXPECT_EQ(std::string(buffer), expected.substr(0, 2));

    std::strcpy(buffer, "kept");
    size = sizeof buffer;
    for (const std::vector<void*>& wrong_count :
         {std::vector<void*>{&unused, &instance, &number, &buffer_address},
          std::vector<void*>{&unused, &instance, &number, &buffer_address, &size, &unused}}) {
        result = kUntouched;
        EXPECT_EQ(dispatch(LanguageService, kLoadText, &result, wrong_count), 0);
        EXPECT_EQ(result, kUntouched);
        EXPECT_STREQ(buffer, "kept");
    }

    // The test program has no string table at all.
    HINSTANCE without_strings = GetModuleHandleA(nullptr);
    EXPECT_EQ(dispatch(LanguageService, kLoadText, &result,
                       {&unused, &without_strings, &number, &buffer_address, &size}),
              0);
    EXPECT_EQ(result, kUntouched);
}

// A top-level window holding controls with the given texts; all destroyed with it.
class ControlPanel {
public:
    explicit ControlPanel(const char* title = "panel")
        : window_(CreateWindowExA(0, "STATIC", title, WS_OVERLAPPED, 0, 0, 400, 300, nullptr,
                                  nullptr, nullptr, nullptr))
    {
        EXPECT_NE(window_, nullptr);
    }
    ~ControlPanel() { DestroyWindow(window_); }
    ControlPanel(const ControlPanel&) = delete;
    ControlPanel& operator=(const ControlPanel&) = delete;

    HWND window() const { return window_; }

    HWND add(const char* text, HWND parent = nullptr)
    {
        HWND control = CreateWindowExA(0, "BUTTON", text, WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 200,
                                       20, parent ? parent : window_, nullptr, nullptr, nullptr);
        EXPECT_NE(control, nullptr);
        return control;
    }

private:
    HWND window_;
};

std::string text_of(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// OpenDialog with a template the module does not have: the plug-in's own way to fail.
int32_t open_missing_dialog(HWND parent, int32_t* result)
{
    int32_t unused = 0;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    LPCSTR missing_template = MAKEINTRESOURCEA(4711);
    DLGPROC procedure = nullptr;
    LPARAM init_value = 0;
    return dispatch(LanguageService, kOpenDialog, result,
                    {&unused, &instance, &missing_template, &parent, &procedure, &init_value});
}

TEST(ServiceObjects, OpenDialogThatFailsAnswersANullHandleAndStillPatchesTheParentsControls)
{
    ControlPanel panel;
    HWND skin = panel.add("Integrate with Winamp skin");
    HWND fullscreen = panel.add("&Minimize Winamp when going fullscreen");
    HWND lower_case = panel.add("Play with winamp");
    HWND capitals = panel.add("WINAMP");
    HWND patched_before = panel.add("Integrate with  ZEKO  skin");
    HWND other_case = panel.add("integrate with Winamp skin");
    HWND nested = panel.add("Winamp", panel.add("group"));

    int32_t result = kUntouched;
    EXPECT_EQ(open_missing_dialog(panel.window(), &result), 1);
    EXPECT_EQ(result, 0);

    EXPECT_EQ(text_of(skin), "Integrate with  ZEKO  skin");
    EXPECT_FALSE(IsWindowEnabled(skin));
    EXPECT_EQ(text_of(fullscreen), "&Minimize  ZEKO  when going fullscreen");
    EXPECT_FALSE(IsWindowEnabled(fullscreen));
    EXPECT_EQ(text_of(lower_case), "Play with  ZEKO ");
    EXPECT_TRUE(IsWindowEnabled(lower_case));
    EXPECT_EQ(text_of(capitals), "WINAMP");
    EXPECT_EQ(text_of(patched_before), "Integrate with  ZEKO  skin");
    EXPECT_TRUE(IsWindowEnabled(patched_before));
    EXPECT_EQ(text_of(other_case), "integrate with  ZEKO  skin");
    EXPECT_TRUE(IsWindowEnabled(other_case));
    EXPECT_EQ(text_of(nested), " ZEKO ");
    EXPECT_EQ(text_of(panel.window()), "panel");
}

TEST(ServiceObjects, EachRunPatchesOneOccurrenceCapitalisedFirst)
{
    ControlPanel panel;
    HWND both = panel.add("winamp or Winamp");
    int32_t result = kUntouched;
    open_missing_dialog(panel.window(), &result);
    EXPECT_EQ(text_of(both), "winamp or  ZEKO ");
    open_missing_dialog(panel.window(), &result);
    EXPECT_EQ(text_of(both), " ZEKO  or  ZEKO ");
}

TEST(ServiceObjects, OpenDialogWithoutParentOrDialogLeavesTopLevelWindowsAlone)
{
    ControlPanel top_level("Winamp look-alike");
    int32_t result = kUntouched;
    EXPECT_EQ(open_missing_dialog(nullptr, &result), 1);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(text_of(top_level.window()), "Winamp look-alike");
}

TEST(ServiceObjects, PatchReadsAtMost254CharactersAndWritesThemBack)
{
    ControlPanel panel;
    const std::string long_text = "Winamp" + std::string(294, 'x');
    HWND control = panel.add(long_text.c_str());
    ASSERT_EQ(text_of(control), long_text);
    EXPECT_EQ(patch_child_text(control, 0), TRUE);
    EXPECT_EQ(text_of(control), " ZEKO " + std::string(248, 'x'));

    HWND beyond = panel.add((std::string(260, 'y') + "Winamp").c_str());
    EXPECT_EQ(patch_child_text(beyond, 0), TRUE);
    EXPECT_EQ(text_of(beyond).size(), 266u);
}

// A dialog template of a system module, found rather than assumed, so OpenDialog and
// RunDialog can be given a module instance and a template name as a plug-in gives them.
struct SystemDialog {
    HMODULE module = nullptr;
    std::string name;
    uintptr_t number = 0;
    LPCSTR template_name() const
    {
        return number ? MAKEINTRESOURCEA(number) : name.c_str();
    }
};

BOOL CALLBACK take_first_dialog(HMODULE, LPCSTR, LPSTR name, LONG_PTR found)
{
    auto* target = reinterpret_cast<SystemDialog*>(found);
    if (IS_INTRESOURCE(name))
        target->number = reinterpret_cast<uintptr_t>(name);
    else
        target->name = name;
    return FALSE;
}

bool find_system_dialog(SystemDialog* dialog)
{
    dialog->module = GetModuleHandleA("user32.dll");
    EnumResourceNamesA(dialog->module, RT_DIALOG, take_first_dialog,
                       reinterpret_cast<LONG_PTR>(dialog));
    return dialog->number || !dialog->name.empty();
}

struct DialogSeen {
    LPARAM init_value = 0;
    HWND added_control = nullptr;
};
DialogSeen g_dialog_seen;

// Adds a control of its own, so the test knows one text in the system dialog.
INT_PTR CALLBACK adding_dialog_proc(HWND dialog, UINT message, WPARAM, LPARAM lparam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    g_dialog_seen.init_value = lparam;
    g_dialog_seen.added_control =
        CreateWindowExA(0, "BUTTON", "&Minimize Winamp when going fullscreen", WS_CHILD, 0, 0,
                        200, 20, dialog, nullptr, nullptr, nullptr);
    return TRUE;
}

INT_PTR CALLBACK ending_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    adding_dialog_proc(dialog, message, wparam, lparam);
    EndDialog(dialog, 4321);
    return TRUE;
}

TEST(ServiceObjects, OpenDialogCreatesTheModulesDialogAndPatchesItsControls)
{
    SystemDialog system_dialog;
    if (!find_system_dialog(&system_dialog))
        GTEST_SKIP() << "user32 has no dialog template here";
    ControlPanel panel;
    HWND skin = panel.add("Integrate with Winamp skin");

    g_dialog_seen = {};
    int32_t unused = 0;
    HINSTANCE instance = system_dialog.module;
    LPCSTR template_name = system_dialog.template_name();
    HWND parent = panel.window();
    DLGPROC procedure = adding_dialog_proc;
    LPARAM init_value = 0x1357;
    int32_t result = kUntouched;
    EXPECT_EQ(dispatch(LanguageService, kOpenDialog, &result,
                       {&unused, &instance, &template_name, &parent, &procedure, &init_value}),
              1);
    HWND dialog = reinterpret_cast<HWND>(static_cast<intptr_t>(result));
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_EQ(g_dialog_seen.init_value, 0x1357);
    ASSERT_NE(g_dialog_seen.added_control, nullptr);
    EXPECT_EQ(text_of(g_dialog_seen.added_control), "&Minimize  ZEKO  when going fullscreen");
    EXPECT_FALSE(IsWindowEnabled(g_dialog_seen.added_control));
    EXPECT_EQ(text_of(skin), "Integrate with  ZEKO  skin");
    DestroyWindow(dialog);
}

TEST(ServiceObjects, RunDialogAnswersTheModalResultAndPatchesNothing)
{
    ControlPanel panel;
    HWND skin = panel.add("Integrate with Winamp skin");
    int32_t unused = 0;
    HWND parent = panel.window();
    DLGPROC procedure = ending_dialog_proc;
    LPARAM init_value = 0x2468;

    SystemDialog system_dialog;
    if (find_system_dialog(&system_dialog)) {
        g_dialog_seen = {};
        HINSTANCE instance = system_dialog.module;
        LPCSTR template_name = system_dialog.template_name();
        int32_t result = kUntouched;
        EXPECT_EQ(dispatch(LanguageService, kRunDialog, &result,
                           {&unused, &instance, &template_name, &parent, &procedure, &init_value}),
                  1);
        EXPECT_EQ(result, 4321);
        EXPECT_EQ(g_dialog_seen.init_value, 0x2468);
    }

    HINSTANCE own = GetModuleHandleA(nullptr);
    LPCSTR missing_template = MAKEINTRESOURCEA(4711);
    int32_t result = kUntouched;
    EXPECT_EQ(dispatch(LanguageService, kRunDialog, &result,
                      {&unused, &own, &missing_template, &parent, &procedure, &init_value}),
              1);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(text_of(skin), "Integrate with Winamp skin");
    EXPECT_TRUE(IsWindowEnabled(skin));

    for (const int32_t code : {kOpenDialog, kRunDialog}) {
        result = kUntouched;
        EXPECT_EQ(dispatch(LanguageService, code, &result,
                           {&unused, &own, &missing_template, &parent, &procedure}),
                  0)
            << code;
        EXPECT_EQ(result, kUntouched);
    }
    EXPECT_EQ(text_of(skin), "Integrate with Winamp skin");
}

}  // namespace
