// The services as Winamp 5 plug-ins call them through their SDK's helper: identifiers by
// value, strings without a buffer, menus, accelerators and wide dialogs from the plug-in's
// own resources (vis_probe's here), the application and callback services, and calls with
// bad pointers, which must be refused and never fault.
#include "emulation/service_objects.h"
#include "emulation/string_temporaries.h"
#include "host/wrapper_state.h"
#include "tests/plugins/vis_probe_resources.h"
#include "tests/support/plugin_dispatch.h"
#include "tests/support/probe_plugin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr int32_t kUntouched = 0x5A5A5A5A;

int32_t dispatch(const ServiceObject& object, int32_t code, void* result,
                 std::vector<void*> args)
{
    return dispatch_like_a_plugin(&object, code, result, std::move(args));
}

template <typename T>
T answer_as(int32_t cell)
{
    return reinterpret_cast<T>(static_cast<intptr_t>(cell));
}

// Memory the process may not touch at all.
class NoAccessPage {
public:
    NoAccessPage() : page_(VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS)) {}
    ~NoAccessPage() { VirtualFree(page_, 0, MEM_RELEASE); }
    NoAccessPage(const NoAccessPage&) = delete;
    NoAccessPage& operator=(const NoAccessPage&) = delete;
    void* address() const { return page_; }

private:
    void* page_;
};

TEST(Winamp5Services, FindServiceTakesEachIdentifierByValueAndAnUnreadableAddressFindsNothing)
{
    const struct {
        const GUID* id;
        const ServiceObject* object;
    } services[] = {{&LanguageServiceId, &LanguageService},
                    {&ApplicationServiceId, &ApplicationService},
                    {&SyscbServiceId, &SyscbService}};
    for (const auto& service : services) {
        GUID by_value = *service.id;
        int32_t factory = kUntouched;
        ASSERT_EQ(dispatch(ServiceDirectory, kFindService, &factory, {&by_value}), 1);
        EXPECT_EQ(answer_as<const ServiceObject*>(factory), service.object);
        // The factory's getInterface answers the service itself.
        int32_t global_lock = 1;
        int32_t service_cell = kUntouched;
        EXPECT_EQ(dispatch(*service.object, kGetSelf, &service_cell, {&global_lock}), 1);
        EXPECT_EQ(service_cell, factory);

        const GUID* by_address = service.id;
        EXPECT_EQ(dispatch(ServiceDirectory, kFindService, &factory, {&by_address}), 1);
        EXPECT_EQ(answer_as<const ServiceObject*>(factory), service.object);
    }

    NoAccessPage page;
    void* unreadable = page.address();
    int32_t result = kUntouched;
    EXPECT_EQ(dispatch(ServiceDirectory, kFindService, &result, {&unreadable}), 0);
    EXPECT_EQ(result, kUntouched);
}

// Every object, a code it answers, with the array, a value or the cell unusable: the same
// answer as an unknown code, and nothing written.
TEST(Winamp5Services, BadArrayValueOrCellIsRefusedWithoutFault)
{
    NoAccessPage page;
    void* unreadable = page.address();
    GUID id = LanguageServiceId;
    int32_t zero = 0;
    static const int32_t read_only_cell[1] = {kUntouched};

    int32_t result = kUntouched;
    // Codes that read argument 0.
    const struct {
        const ServiceObject* object;
        int32_t code;
        int32_t argc;
    } readers[] = {{&ServiceDirectory, kFindService, 1}, {&LanguageService, kStartLanguage, 2}};
    for (const auto& reader : readers) {
        EXPECT_EQ(dispatch_like_a_plugin(reader.object, reader.code, &result, nullptr, reader.argc), 0);
        void* const unreadable_value[] = {unreadable, &zero};
        EXPECT_EQ(dispatch_like_a_plugin(reader.object, reader.code, &result, unreadable_value,
                                         reader.argc),
                  0);
        EXPECT_EQ(dispatch_like_a_plugin(reader.object, reader.code, &result,
                                         static_cast<void* const*>(unreadable), reader.argc),
                  0);
    }
    for (const ServiceObject* object :
         {&ServiceDirectory, &LanguageService, &ApplicationService, &SyscbService}) {
        const int32_t code = object == &ServiceDirectory ? kFindService : kGetSelf;
        EXPECT_EQ(dispatch(*object, code, nullptr, {&id}), 0);
        EXPECT_EQ(dispatch(*object, code, const_cast<int32_t*>(read_only_cell), {&id}), 0);
        EXPECT_EQ(dispatch(*object, code, unreadable, {&id}), 0);
    }
    void* const huge_count[] = {&id};
    EXPECT_EQ(dispatch_like_a_plugin(&ServiceDirectory, kFindService, &result, huge_count, 1 << 30),
              0);

    // Values through bad pointers: the instance, the string number, the buffer, its size.
    HMODULE own = GetModuleHandleA(nullptr);
    char buffer[16];
    char* buffer_address = buffer;
    char* unreadable_buffer = static_cast<char*>(unreadable);
    int size = sizeof buffer;
    int too_large = 1 << 28;
    HMODULE not_a_module = reinterpret_cast<HMODULE>(unreadable);
    for (const std::vector<void*>& args :
         {std::vector<void*>{&zero, &own, unreadable, &buffer_address, &size},
          std::vector<void*>{&zero, &not_a_module, &zero, &buffer_address, &size},
          std::vector<void*>{&zero, &own, &zero, &unreadable_buffer, &size},
          std::vector<void*>{&zero, &own, &zero, &buffer_address, &too_large},
          std::vector<void*>{&zero, &own, &zero, &buffer_address, nullptr}}) {
        EXPECT_EQ(dispatch(LanguageService, kLoadText, &result, args), 0);
        EXPECT_EQ(dispatch(LanguageService, kLoadWideText, &result, args), 0);
    }
    // A dialog, menu or table named by a text that cannot be read, or a procedure there.
    DLGPROC no_procedure = nullptr;
    DLGPROC unreadable_procedure = reinterpret_cast<DLGPROC>(unreadable);
    HWND no_parent = nullptr;
    for (const int32_t code : {kOpenDialog, kRunDialog, kOpenWideDialog, kRunWideDialog}) {
        EXPECT_EQ(dispatch(LanguageService, code, &result,
                           {&zero, &own, &unreadable, &no_parent, &no_procedure, &zero}),
                  0);
        int32_t number = PROBE_OPTIONS_DIALOG;
        EXPECT_EQ(dispatch(LanguageService, code, &result,
                           {&zero, &own, &number, &no_parent, &unreadable_procedure, &zero}),
                  0);
    }
    for (const int32_t code : {kLoadMenu, kLoadWideMenu, kLoadAccelerators, kLoadWideAccelerators})
        EXPECT_EQ(dispatch(LanguageService, code, &result, {&zero, &own, &unreadable}), 0);
    EXPECT_EQ(result, kUntouched);
}

class ProbeResources : public ::testing::Test {
protected:
    int32_t take(int32_t code, UINT number, void* buffer = nullptr, size_t size = 0)
    {
        int32_t result = 0;
        EXPECT_EQ(dispatch(LanguageService, code, &result,
                           {&language_, &instance_, &number, &buffer, &size}),
                  1)
            << code << " " << number;
        return result;
    }
    std::wstring wide_text(UINT number) { return answer_as<const wchar_t*>(take(kLoadWideText, number)); }

    ProbePlugin probe_;
    HINSTANCE language_ = reinterpret_cast<HINSTANCE>(kFixedServiceValue);
    HINSTANCE instance_ = GetModuleHandleA(ProbePlugin::path().c_str());
};

TEST_F(ProbeResources, StringsWithoutABufferLiveInTemporariesNoOtherThreadTouches)
{
    ASSERT_NE(instance_, nullptr);
    EXPECT_STREQ(answer_as<const char*>(take(kLoadText, PROBE_TEXT_STRING)), PROBE_TEXT);
    EXPECT_EQ(wide_text(PROBE_WIDE_STRING), L"wide \u263A text");
    const wchar_t* missing = answer_as<const wchar_t*>(take(kLoadWideText, PROBE_MISSING_STRING));
    ASSERT_NE(missing, nullptr);
    EXPECT_STREQ(missing, L"");

    // A result lives through the later calls of its ring...
    const wchar_t* kept = answer_as<const wchar_t*>(take(kLoadWideText, PROBE_WIDE_STRING));
    for (int i = 1; i < kStringTemporaryCount; ++i)
        take(kLoadWideText, PROBE_FORMAT_STRING);
    EXPECT_STREQ(kept, L"wide \u263A text");
    // ...and through any number of calls from the render thread.
    kept = answer_as<const wchar_t*>(take(kLoadWideText, PROBE_WIDE_STRING));
    std::thread render_thread([&] {
        g_state.render_thread_id = GetCurrentThreadId();
        for (int i = 0; i < 3 * kStringTemporaryCount; ++i)
            take(kLoadWideText, PROBE_FORMAT_STRING);
        g_state.render_thread_id = 0;
    });
    render_thread.join();
    EXPECT_STREQ(kept, L"wide \u263A text");

    // With a buffer of the plug-in's own, the string goes there, cut to its size.
    wchar_t buffer[5];
    EXPECT_EQ(answer_as<const wchar_t*>(take(kLoadWideText, PROBE_WIDE_STRING, buffer, 5)), buffer);
    EXPECT_STREQ(buffer, L"wide");
}

TEST_F(ProbeResources, MenusAndAcceleratorsComeFromTheNamedModuleInBothWidths)
{
    for (const int32_t code : {kLoadMenu, kLoadWideMenu}) {
        int32_t menu = 0;
        UINT number = PROBE_MENU;
        ASSERT_EQ(dispatch(LanguageService, code, &menu, {&language_, &instance_, &number}), 1);
        HMENU loaded = answer_as<HMENU>(menu);
        EXPECT_EQ(GetMenuItemCount(GetSubMenu(loaded, 0)), PROBE_MENU_ITEMS) << code;
        DestroyMenu(loaded);
    }
    const void* number_name = MAKEINTRESOURCEA(PROBE_ACCELERATORS);
    const void* narrow_name = PROBE_NAMED_ACCELERATORS;
    const void* wide_name = L"" PROBE_NAMED_ACCELERATORS;
    const void* unknown_name = "NO_SUCH_KEYS";
    const struct {
        int32_t code;
        const void* name;
        bool found;
    } tables[] = {{kLoadAccelerators, number_name, true},  {kLoadWideAccelerators, number_name, true},
                  {kLoadAccelerators, narrow_name, true},  {kLoadWideAccelerators, wide_name, true},
                  // The SDK's wide call sends the ANSI code.
                  {kLoadAccelerators, wide_name, true},    {kLoadAccelerators, unknown_name, false}};
    for (const auto& table : tables) {
        int32_t accelerators = kUntouched;
        ASSERT_EQ(dispatch(LanguageService, table.code, &accelerators,
                           {&language_, &instance_, const_cast<void**>(&table.name)}),
                  1);
        EXPECT_EQ(accelerators != 0, table.found) << table.code;
        if (accelerators)
            DestroyAcceleratorTable(answer_as<HACCEL>(accelerators));
    }
}

INT_PTR CALLBACK quiet_dialog_proc(HWND dialog, UINT message, WPARAM, LPARAM lparam)
{
    if (message == WM_INITDIALOG && lparam)
        EndDialog(dialog, lparam);
    return message == WM_INITDIALOG;
}

TEST_F(ProbeResources, WideDialogsArePatchedKeepingEveryCharacterAndRunModally)
{
    UINT number = PROBE_OPTIONS_DIALOG;
    HWND parent = nullptr;
    DLGPROC procedure = quiet_dialog_proc;
    LPARAM stays_open = 0;
    int32_t created = 0;
    ASSERT_EQ(dispatch(LanguageService, kOpenWideDialog, &created,
                       {&language_, &instance_, &number, &parent, &procedure, &stays_open}),
              1);
    HWND dialog = answer_as<HWND>(created);
    ASSERT_TRUE(IsWindow(dialog));
    wchar_t label[64] = {};
    GetDlgItemTextW(dialog, PROBE_WIDE_LABEL, label, 64);
    EXPECT_STREQ(label, L"\u263A  ZEKO ");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, PROBE_SKIN_OPTION)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, PROBE_FULLSCREEN_OPTION)));
    DestroyWindow(dialog);

    LPARAM ends_with = 54;
    int32_t modal = 0;
    EXPECT_EQ(dispatch(LanguageService, kRunWideDialog, &modal,
                       {&language_, &instance_, &number, &parent, &procedure, &ends_with}),
              1);
    EXPECT_EQ(modal, 54);
}

TEST(Winamp5Services, ApplicationAndCallbackServicesAnswerTheirCodeInFourBytesOnly)
{
    int32_t zero = 0;
    std::vector<void*> six(6, &zero);
    std::vector<void*> four(4, &zero);
    const struct {
        const ServiceObject* object;
        int32_t code;
        std::vector<void*> args;
        int32_t answered;
    } calls[] = {{&ApplicationService, kMouseWheelInDialog, six, 1},
                 {&ApplicationService, kMouseWheelInDialog, four, 0},
                 {&ApplicationService, kIssueCallback, four, 0},
                 {&SyscbService, kIssueCallback, four, 1},
                 {&SyscbService, kIssueCallback, six, 0},
                 {&SyscbService, kMouseWheelInDialog, six, 0},
                 {&ApplicationService, 10, four, 0}};
    for (const auto& call : calls) {
        int32_t cell[2] = {kUntouched, kUntouched};
        EXPECT_EQ(dispatch(*call.object, call.code, cell, call.args), call.answered) << call.code;
        EXPECT_EQ(cell[0], call.answered ? 0 : kUntouched) << call.code;
        EXPECT_EQ(cell[1], kUntouched) << call.code;
    }
}

}  // namespace
