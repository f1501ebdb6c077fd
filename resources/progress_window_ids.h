// Ids of the progress window and its controls.
#pragma once

#define IDD_PROGRESS 1009
#define IDC_PROGRESS_MAIN 1290
#define IDC_PROGRESS_SUB 1011
#define IDC_PROGRESS_BAR 1012
