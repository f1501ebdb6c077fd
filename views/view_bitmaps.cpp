#include "views/view_bitmaps.h"

#include "resources/resource.h"

HBITMAP hHeaderBandBitmap;
HBITMAP hFindContactsBitmap;
HBITMAP hFindActivitiesBitmap;
HBITMAP hGoBitmap;
HBITMAP hGoPressedBitmap;
HICON hNoteIcon;

static HBITMAP LoadPicture(HINSTANCE instance, int id)
{
    return LoadBitmapW(instance, MAKEINTRESOURCEW(id));
}

void LoadAppBitmaps(HINSTANCE instance)
{
    hHeaderBandBitmap = LoadPicture(instance, IDB_HEADER_BAND);
    hFindContactsBitmap = LoadPicture(instance, IDB_FIND_CONTACTS);
    hFindActivitiesBitmap = LoadPicture(instance, IDB_FIND_ACTIVITIES);
    hGoBitmap = LoadPicture(instance, IDB_GO);
    hGoPressedBitmap = LoadPicture(instance, IDB_GO_PRESSED);
    // Loaded at its own size: the list centres it on 9 pixels.
    hNoteIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_NOTE), IMAGE_ICON, 0, 0, 0));
}

static void DeletePicture(HBITMAP* bitmap)
{
    if (*bitmap)
        DeleteObject(*bitmap);
    *bitmap = nullptr;
}

void DeleteAppBitmaps()
{
    DeletePicture(&hHeaderBandBitmap);
    DeletePicture(&hFindActivitiesBitmap);
    DeletePicture(&hFindContactsBitmap);
    DeletePicture(&hGoBitmap);
    DeletePicture(&hGoPressedBitmap);
}

void DestroyNoteIcon()
{
    if (hNoteIcon)
        DestroyIcon(hNoteIcon);
    hNoteIcon = nullptr;
}
