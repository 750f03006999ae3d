#include "config_dialog.h"

#include "config_dialog_ids.h"
#include "drawing_rules.h"
#include "host_requests.h"

#include <algorithm>

namespace {

struct DialogSession {
    VisSettings settings;
    bool finished = false;
    bool accepted = false;
};

struct ColourButton {
    int id;
    uint32_t VisSettings::*colour;
};

constexpr ColourButton kColourButtons[] = {
    {IDC_BAR_COLOUR, &VisSettings::bar_colour},
    {IDC_PEAK_COLOUR, &VisSettings::peak_colour},
    {IDC_WAVE_COLOUR, &VisSettings::wave_colour},
    {IDC_BACKGROUND_COLOUR, &VisSettings::background_colour},
};

void choose_colour(HWND dialog, uint32_t* colour)
{
    static COLORREF custom_colours[16];
    CHOOSECOLORA choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = dialog;
    choice.rgbResult = *colour;
    choice.lpCustColors = custom_colours;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (ChooseColorA(&choice))
        *colour = choice.rgbResult;
}

// A number the user typed, brought into its range; the old value when the box holds none.
void read_number(HWND dialog, int id, int low, int high, int* value)
{
    BOOL is_number = FALSE;
    const UINT typed = GetDlgItemInt(dialog, id, &is_number, FALSE);
    if (is_number)
        *value = static_cast<int>(std::clamp<UINT>(typed, low, high));
}

void show_settings(HWND dialog, const VisSettings& settings)
{
    SetDlgItemInt(dialog, IDC_BAR_COUNT, settings.bar_count, FALSE);
    SetDlgItemInt(dialog, IDC_PEAK_FALLOFF, settings.peak_falloff, FALSE);
    CheckDlgButton(dialog, IDC_EMBED_IN_FRAME, settings.embed_in_frame ? BST_CHECKED : BST_UNCHECKED);
}

void take_settings(HWND dialog, VisSettings* settings)
{
    read_number(dialog, IDC_BAR_COUNT, kMinBars, kMaxBars, &settings->bar_count);
    read_number(dialog, IDC_PEAK_FALLOFF, kMinPeakFalloff, kMaxPeakFalloff,
                &settings->peak_falloff);
    settings->embed_in_frame = IsDlgButtonChecked(dialog, IDC_EMBED_IN_FRAME) == BST_CHECKED;
}

INT_PTR CALLBACK dialog_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        show_settings(dialog, reinterpret_cast<DialogSession*>(lparam)->settings);
        return TRUE;
    }
    auto* session = reinterpret_cast<DialogSession*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!session || message != WM_COMMAND)
        return FALSE;

    const int command = LOWORD(wparam);
    switch (command) {
    case IDOK:
        take_settings(dialog, &session->settings);
        session->accepted = true;
        session->finished = true;
        return TRUE;
    case IDCANCEL:  // also the close box and Escape
        session->finished = true;
        return TRUE;
    }
    for (const ColourButton& button : kColourButtons)
        if (button.id == command) {
            choose_colour(dialog, &(session->settings.*button.colour));
            return TRUE;
        }
    return FALSE;
}

// A modal loop for a modeless dialog: the language service makes only modeless dialogs
// that it can translate.
void wait_for_user(HWND dialog, const DialogSession& session)
{
    while (!session.finished && IsWindow(dialog)) {
        MSG message;
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == -1)
            return;
        if (got == 0) {
            // The thread is asked to end: leave, and let the thread's own loop see it too.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

bool run_config_dialog(HWND host, HINSTANCE instance, VisSettings* settings)
{
    DialogSession session;
    session.settings = *settings;
    const LPARAM parameter = reinterpret_cast<LPARAM>(&session);

    HWND dialog = nullptr;
    if (WinampService* language = find_language_service(host))
        dialog = create_language_dialog(language, instance, IDD_CONFIG, host, dialog_procedure,
                                         parameter);
    // Without the service the dialog is made as it is.
    if (!dialog)
        dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_CONFIG), host,
                                    dialog_procedure, parameter);
    if (!dialog)
        return false;

    ShowWindow(dialog, SW_SHOW);
    wait_for_user(dialog, session);
    DestroyWindow(dialog);
    if (session.accepted)
        *settings = session.settings;
    return session.accepted;
}
