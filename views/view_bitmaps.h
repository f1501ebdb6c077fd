// Pictures the main window keeps for the program's life.
#pragma once
#include <windows.h>

extern HBITMAP hHeaderBandBitmap;      // 118, the header band with the alphabet index
extern HBITMAP hFindContactsBitmap;    // 124, contacts find mode
extern HBITMAP hFindActivitiesBitmap;  // 123, activities find mode
extern HBITMAP hGoBitmap;              // 125, go button up
extern HBITMAP hGoPressedBitmap;       // 126, go button held down
extern HICON hNoteIcon;                // 121, marks activities with notes

// A picture that cannot be loaded stays empty and is not drawn.
void LoadAppBitmaps(HINSTANCE instance);
void DeleteAppBitmaps();
void DestroyNoteIcon();
