// A 32-bit memory surface filled with one colour, for drawing code to paint
// on and for tests to read back pixel by pixel.
#pragma once
#include <windows.h>

class Surface {
public:
    Surface(int width, int height, COLORREF fill = RGB(255, 255, 255)) : width(width), height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;   // top down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
        previous = SelectObject(dc, bitmap);
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Surface()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    int Count(COLORREF colour) const
    {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                n += At(x, y) == colour;
        return n;
    }
    // Takes the bitmap out of the context so that it can be drawn from; the
    // surface still deletes it.
    HBITMAP Release()
    {
        SelectObject(dc, previous);
        previous = SelectObject(dc, CreateCompatibleBitmap(dc, 1, 1));
        return bitmap;
    }

    HDC dc;
    const int width, height;

private:
    HBITMAP bitmap;
    HGDIOBJ previous;
};
