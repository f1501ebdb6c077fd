// Ids of the shell's resources and of the commands its menus send.
#pragma once

// Menu bar (RCDATA and MENU of the same id) and its toolbar bitmap.
#define IDR_MENUBAR 103
#define IDB_MENUBAR_BUTTONS 111
#define MENUBAR_BUTTON_IMAGES 6
#define IDS_MENU_FILE 103
#define IDS_MENU_OPTIONS 104

// Context menu shared by both lists.
#define IDR_LIST_MENU 117

// Bitmaps and icons.
#define IDB_COLOR_TITLE_BAND 107
#define IDB_MESSAGE_BOX_BAND 108
#define IDB_MESSAGE_BOX_WARNING 109
#define IDB_ARROW_DOWN 112
#define IDB_ARROW_UP 113
#define IDB_ARROW_LEFT 114
#define IDB_ARROW_RIGHT 115
#define IDB_CLOSE 116
#define IDB_CORNER_BOX 117
#define IDB_HEADER_BAND 118
#define IDB_SORT_ARROWS 119
#define IDB_SORT_ARROWS_MASK 120
#define IDI_NOTE 121
#define IDB_FIND_ACTIVITIES 123
#define IDB_FIND_CONTACTS 124
#define IDB_GO 125
#define IDB_GO_PRESSED 126

// Commands of the menu bar and its menus.
#define IDM_OPTIONS 40004
#define IDM_ABOUT 40007
#define IDM_EXIT 40008
#define IDM_SETTINGS 40011
#define IDM_FILE 40013
#define IDM_EXPORT 40015
#define IDM_NEW_CONTACT 40021
#define IDM_NEW_ACTIVITY 40022
#define IDM_ROLL_UP 40029
#define IDM_ROLL_DOWN 40030
#define IDM_PROFILES 40050
#define IDM_FIND 40052
#define IDM_PURGE 40053
#define IDM_IMPORT_CONTACTS 40055
#define IDM_EXPORT_CONTACTS 40056
#define IDM_PROFILE_FIRST 60000   // "All"; profile n is 60000 + n

// Commands of the list context menu; they go to the list that opened it.
#define IDM_DELETE 40034
#define IDM_EDIT 40035
#define IDM_INFO 40044
#define IDM_MARK_DONE 40054
