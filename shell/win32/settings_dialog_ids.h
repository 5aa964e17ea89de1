// The numbers of the settings dialog and its controls, shared by the resource script, which the
// resource compiler's preprocessor reads, and the dialog's code: plain macros only.
#pragma once

#define IDD_SAVER_SETTINGS 100
#define IDC_SPEED 101
#define IDC_SPEED_SPIN 102
#define IDC_MONITORS 103
#define IDC_SHOW_RATES 104
