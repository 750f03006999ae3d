// Resource numbers of the configuration dialog, shared by the .rc file and the code.
#pragma once

#define IDD_CONFIG 100

#define IDC_BAR_COUNT 1001
#define IDC_PEAK_FALLOFF 1002
#define IDC_BAR_COLOUR 1003
#define IDC_PEAK_COLOUR 1004
#define IDC_WAVE_COLOUR 1005
#define IDC_BACKGROUND_COLOUR 1006
#define IDC_EMBED_IN_FRAME 1007
