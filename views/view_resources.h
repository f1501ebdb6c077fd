// The brushes and fonts of the panes, made from the settings at start-up and
// kept until the main window is destroyed.
#pragma once
#include <windows.h>

extern HBRUSH hNotesBrush;      // notesbkgcolor
extern HBRUSH hLv1Row1Brush;    // lv1r1color
extern HBRUSH hLv1Row2Brush;    // lv1r2color
extern HBRUSH hLv2Row1Brush;    // lv2r1color
extern HBRUSH hLv2Row2Brush;    // lv2r2color
extern HFONT hListFont;         // both lists and the find controls, fontsize
extern HFONT hNotesFont;        // the notes pane, notefontsize

void CreateViewBrushes();
// Makes both fonts again from the current sizes, deleting the previous ones.
void CreateViewFonts();
void DeleteViewBrushesAndFonts();
