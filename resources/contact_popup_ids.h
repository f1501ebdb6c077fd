// Ids of the contact information popup and its four texts.
#pragma once

#define IDD_CONTACT_POPUP 1014

#define IDC_POPUP_NAME 1050
#define IDC_POPUP_TITLE 1051
#define IDC_POPUP_PHONES 1052
#define IDC_POPUP_ADDITIONAL 1053
