// Resource ids of the progress window.
#pragma once

#define IDD_PROGRESS_WINDOW 1009
#define IDC_PROGRESS_MAIN_LABEL 1290
#define IDC_PROGRESS_SUB_LABEL 1011
#define IDC_PROGRESS_BAR 1012
