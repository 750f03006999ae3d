#include "host_requests.h"

#include <cstring>

namespace {

LRESULT ask(HWND host, LPARAM code, WPARAM argument = 0)
{
    return SendMessageA(host, kWinampRequest, argument, code);
}

int dispatch(WinampService* service, int code, void* result, void** args, int argc)
{
    return service->table->dispatch(service, code, result, args, argc);
}

}  // namespace

bool ask_settings_file(HWND host, char* path, size_t size)
{
    const LRESULT answer = ask(host, kAskSettingsFile);
    if (!is_address_answer(answer))
        return false;
    // The host's buffer may change later: keep a copy.
    const char* text = reinterpret_cast<const char*>(answer);
    const size_t length = std::strlen(text);
    if (length == 0 || length >= size)
        return false;
    std::memcpy(path, text, length + 1);
    return true;
}

EmbedWindowFunction ask_embed_function(HWND host)
{
    const LRESULT answer = ask(host, kAskEmbedFunction);
    return is_address_answer(answer) ? reinterpret_cast<EmbedWindowFunction>(answer) : nullptr;
}

void announce_vis_window(HWND host, HWND window)
{
    ask(host, kAnnounceVisWindow, reinterpret_cast<WPARAM>(window));
}

WinampService* find_language_service(HWND host)
{
    const LRESULT answer = ask(host, kAskServices);
    if (!is_address_answer(answer))
        return nullptr;
    auto* directory = reinterpret_cast<WinampService*>(answer);

    const GUID* wanted = &kLanguageServiceId;
    void* args[] = {&wanted};
    WinampService* language = nullptr;
    if (dispatch(directory, kFindService, &language, args, 1) != 1)
        return nullptr;
    return language;
}

HWND create_language_dialog(WinampService* language, HINSTANCE instance, int template_id,
                            HWND parent, DLGPROC procedure, LPARAM parameter)
{
    // This DLL is both the localised and the original instance: it has no language pack.
    LPCSTR dialog_template = MAKEINTRESOURCEA(template_id);
    void* args[kCreateLanguageDialogArgs] = {&instance, &instance, &dialog_template,
                                             &parent, &procedure, &parameter};
    HWND dialog = nullptr;
    if (dispatch(language, kCreateLanguageDialog, &dialog, args, kCreateLanguageDialogArgs) != 1)
        return nullptr;
    return dialog;
}
