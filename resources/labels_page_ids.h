// The Labels page of the settings sheet.
#pragma once

#define IDD_LABELS_PAGE 1016
#define IDC_LABELS_LIST 1202
#define IDC_LABELS_EDIT 1224
#define IDC_LABELS_RENAME 1270
#define IDC_LABELS_RESET 1271
