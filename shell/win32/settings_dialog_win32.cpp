// The screen saver's settings dialog on Windows: the IDD_SAVER_SETTINGS template of the resource
// script, filled from the settings and read back on OK. Like the rest of the Win32 platform it
// includes <windows.h> and never the vocabulary's constants header.
#include <windows.h>

#include <commctrl.h>

#include "shell/win32/platform.h"
#include "shell/win32/saver_store.h"
#include "shell/win32/settings_dialog_ids.h"

namespace {

constexpr int kMonitorChoiceCount = sizeof kMonitorModes / sizeof kMonitorModes[0];

constexpr char kBadSpeedText[] =
    "The speed must be a whole number of steps per second from 10 to 240.";
static_assert(kMinSaverSpeed == 10 && kMaxSaverSpeed == 240, "the text names the range");

void FillDialog(HWND dialog, const SaverSettings& settings) {
    // The up-down keeps its buddy's text in range while the arrows are used; typed text is
    // checked on OK.
    SendDlgItemMessageA(dialog, IDC_SPEED_SPIN, UDM_SETRANGE32, kMinSaverSpeed, kMaxSaverSpeed);
    SendDlgItemMessageA(dialog, IDC_SPEED_SPIN, UDM_SETPOS32, 0, settings.stepsPerSecond);
    SetDlgItemInt(dialog, IDC_SPEED, settings.stepsPerSecond, FALSE);
    SendDlgItemMessageA(dialog, IDC_SPEED, EM_LIMITTEXT, 6, 0);

    int selected = 0;
    for (int i = 0; i < kMonitorChoiceCount; ++i) {
        SendDlgItemMessageA(dialog, IDC_MONITORS, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(kMonitorModes[i].label));
        if (kMonitorModes[i].mode == settings.monitors) {
            selected = i;
        }
    }
    SendDlgItemMessageA(dialog, IDC_MONITORS, CB_SETCURSEL, selected, 0);
    CheckDlgButton(dialog, IDC_SHOW_RATES, settings.showRates ? BST_CHECKED : BST_UNCHECKED);
}

// The dialog's choices into `settings`; false, with `settings` untouched, when the speed is not
// one the saver takes.
bool ReadDialog(HWND dialog, SaverSettings* settings) {
    char text[32] = "";
    GetDlgItemTextA(dialog, IDC_SPEED, text, sizeof text);
    uint32_t speed = 0;
    if (!ParseSaverSpeed(text, &speed)) {
        return false;
    }
    const LRESULT selected = SendDlgItemMessageA(dialog, IDC_MONITORS, CB_GETCURSEL, 0, 0);
    settings->stepsPerSecond = speed;
    settings->monitors = selected >= 0 && selected < kMonitorChoiceCount
                             ? kMonitorModes[selected].mode
                             : kDefaultMonitorMode;
    settings->showRates = IsDlgButtonChecked(dialog, IDC_SHOW_RATES) == BST_CHECKED;
    return true;
}

INT_PTR CALLBACK SettingsDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        FillDialog(dialog, *reinterpret_cast<const SaverSettings*>(lParam));
        // The speed, first in the tab order, takes the focus with its text selected, so that
        // typing replaces it.
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            auto* settings = reinterpret_cast<SaverSettings*>(GetWindowLongPtrA(dialog, DWLP_USER));
            if (!ReadDialog(dialog, settings)) {
                // Refused rather than clamped: a number quietly changed would not be what the
                // user asked for. The dialog stays, the speed selected for another try.
                MessageBoxA(dialog, kBadSpeedText, "Error", MB_OK | MB_ICONEXCLAMATION);
                const HWND speed = GetDlgItem(dialog, IDC_SPEED);
                SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(speed), TRUE);
                SendMessageA(speed, EM_SETSEL, 0, -1);
                return TRUE;
            }
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

BOOL PlatformEditSaverSettings(InstanceHandle instance, WindowHandle owner,
                               SaverSettings* settings) {
    // The up-down control is a common control, registered only on request.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // Edited in a copy: a cancelled dialog leaves the caller's settings as they were.
    SaverSettings edited = *settings;
    const INT_PTR result = DialogBoxParamA(
        reinterpret_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(IDD_SAVER_SETTINGS),
        reinterpret_cast<HWND>(owner), SettingsDialogProcedure, reinterpret_cast<LPARAM>(&edited));
    if (result == -1 || result == 0) {
        MessageBoxA(reinterpret_cast<HWND>(owner), "The settings dialog could not be opened.",
                    "Error", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (result != IDOK) {
        return FALSE;
    }
    *settings = edited;
    return TRUE;
}
