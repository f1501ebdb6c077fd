// Resource ids of the common message box.
#pragma once

#define IDD_MESSAGE_BOX          1013
#define IDC_MESSAGE_BOX_FIRST    1000   // "OK" or "Yes"
#define IDC_MESSAGE_BOX_SECOND   1300   // "Cancel" or "No"
#define IDC_MESSAGE_BOX_DONTSHOW 1014
#define IDC_MESSAGE_BOX_TEXT     1015
#define IDB_MESSAGE_BOX_BAND     108    // title band picture
#define IDB_MESSAGE_BOX_WARNING  109    // warning picture
