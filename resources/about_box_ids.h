// Ids of the About box and its texts.
#pragma once

#define IDD_ABOUT 101

#define IDC_ABOUT_NAME 1060
#define IDC_ABOUT_VERSION 1061
#define IDC_ABOUT_PURPOSE 1062
#define IDC_ABOUT_MAKER 1063
#define IDC_ABOUT_DB_INFO 1064
