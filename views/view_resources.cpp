#include "views/view_resources.h"

#include "base/drawing.h"
#include "settings/settings.h"

#include <initializer_list>

HBRUSH hNotesBrush;
HBRUSH hLv1Row1Brush;
HBRUSH hLv1Row2Brush;
HBRUSH hLv2Row1Brush;
HBRUSH hLv2Row2Brush;
HFONT hListFont;
HFONT hNotesFont;

template <typename Handle>
static void Delete(Handle& handle)
{
    if (handle)
        DeleteObject(handle);
    handle = nullptr;
}

void CreateViewBrushes()
{
    for (HBRUSH* brush : {&hNotesBrush, &hLv1Row1Brush, &hLv1Row2Brush, &hLv2Row1Brush, &hLv2Row2Brush})
        Delete(*brush);
    hNotesBrush = CreateSolidBrush(settings.notesbkgcolor);
    hLv1Row1Brush = CreateSolidBrush(settings.lv1r1color);
    hLv1Row2Brush = CreateSolidBrush(settings.lv1r2color);
    hLv2Row1Brush = CreateSolidBrush(settings.lv2r1color);
    hLv2Row2Brush = CreateSolidBrush(settings.lv2r2color);
}

void CreateViewFonts()
{
    Delete(hListFont);
    Delete(hNotesFont);
    hListFont = CreateAppFont(400, settings.fontsize, settings.cleartypeflag);
    hNotesFont = CreateAppFont(400, settings.notefontsize, settings.cleartypeflag);
}

void DeleteViewBrushesAndFonts()
{
    for (HBRUSH* brush : {&hNotesBrush, &hLv1Row1Brush, &hLv1Row2Brush, &hLv2Row1Brush, &hLv2Row2Brush})
        Delete(*brush);
    Delete(hListFont);
    Delete(hNotesFont);
}
