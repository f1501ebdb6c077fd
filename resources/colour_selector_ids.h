// The colour selector pop-up.
#pragma once

#define IDD_COLOUR_SELECTOR 110
#define IDC_COLOUR_PRESET_FIRST 1100   // 24 presets, 1100 to 1123, six a row
#define IDC_COLOUR_PRESET_LAST 1123
#define IDC_COLOUR_LIGHTNESS 1124
#define IDC_COLOUR_PREVIEW 1125
#define IDC_COLOUR_OK 1000
#define IDC_COLOUR_CANCEL 1300
