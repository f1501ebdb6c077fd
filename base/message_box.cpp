#include "base/message_box.h"

#include "resources/message_box_ids.h"
#include "base/drawing.h"
#include "base/app_handles.h"
#include "base/text.h"

#include <initializer_list>

namespace {

constexpr int MIN_TEXT_HEIGHT = 43;
constexpr int WARNING_NARROWING = 30;
constexpr int BAND_HEIGHT = 18;

// One box is open at a time, so its state is the file's.
struct MessageBoxState {
    wchar_t text[APP_MB_TEXT_CHARS + 1];
    wchar_t title[APP_MB_TITLE_CHARS + 1];
    UINT style;
    int* checkState;   // where the check box's state goes, or nowhere
    HBITMAP band, warning;
    HBRUSH white;
    HPEN outline;
    HFONT titleFont, bodyFont;
} box;

// The ClearType choice the fonts follow; none until start-up names it.
const int* clearTypeSource;

int ClearType()
{
    return clearTypeSource ? *clearTypeSource : 0;
}

RECT ChildRect(HWND dialog, int id)
{
    RECT rect = {};
    HWND child = GetDlgItem(dialog, id);
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void MoveChild(HWND dialog, int id, int x, int y)
{
    SetWindowPos(GetDlgItem(dialog, id), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SizeChild(HWND dialog, int id, int width, int height)
{
    SetWindowPos(GetDlgItem(dialog, id), nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int MeasureText(HWND dialog, int width)
{
    HWND label = GetDlgItem(dialog, IDC_MESSAGE_BOX_TEXT);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, box.bodyFont);
    RECT needed = {0, 0, width, 0};
    DrawTextW(dc, box.text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    const int height = needed.bottom - needed.top;
    return height < MIN_TEXT_HEIGHT ? MIN_TEXT_HEIGHT : height;
}

BOOL OnInitDialog(HWND dialog)
{
    HINSTANCE instance = AppInstance();
    box.band = LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_MESSAGE_BOX_BAND));
    box.warning = LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_MESSAGE_BOX_WARNING));
    box.titleFont = CreateAppFont(700, 13, ClearType());
    box.bodyFont = CreateAppFont(400, 12, ClearType());
    box.white = CreateSolidBrush(RGB(255, 255, 255));
    box.outline = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));

    // The window text is the title too, so the box is named where it is listed.
    SetWindowTextW(dialog, box.title);
    SendDlgItemMessageW(dialog, IDC_MESSAGE_BOX_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(box.bodyFont), FALSE);
    SendDlgItemMessageW(dialog, IDC_MESSAGE_BOX_DONTSHOW, WM_SETFONT, reinterpret_cast<WPARAM>(box.bodyFont), FALSE);
    SetDlgItemTextW(dialog, IDC_MESSAGE_BOX_TEXT, box.text);

    RECT client;
    GetClientRect(dialog, &client);
    const RECT first = ChildRect(dialog, IDC_MESSAGE_BOX_FIRST);
    const int buttonHeight = first.bottom - first.top;
    const bool twoButtons = (box.style & (APP_MB_OKCANCEL | APP_MB_YESNO)) != 0;
    if (twoButtons)
        ShowWindow(GetDlgItem(dialog, IDC_MESSAGE_BOX_SECOND), SW_SHOWNA);
    else
        MoveChild(dialog, IDC_MESSAGE_BOX_FIRST, (client.right - (first.right - first.left)) / 2, first.top);

    RECT label = ChildRect(dialog, IDC_MESSAGE_BOX_TEXT);
    if ((box.style & APP_MB_WARNING) == APP_MB_WARNING)
        label.right -= WARNING_NARROWING;

    if (box.style & APP_MB_YESNO) {
        SetDlgItemTextW(dialog, IDC_MESSAGE_BOX_FIRST, L"Yes");
        SetDlgItemTextW(dialog, IDC_MESSAGE_BOX_SECOND, L"No");
    }

    if (box.style & APP_MB_SECONDDEFAULT) {
        SendDlgItemMessageW(dialog, IDC_MESSAGE_BOX_FIRST, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        SendDlgItemMessageW(dialog, IDC_MESSAGE_BOX_SECOND, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        SendMessageW(dialog, DM_SETDEFID, IDC_MESSAGE_BOX_SECOND, 0);
        // A focused push button takes the default role, so the focus moves
        // to the default one once the box is up.
        PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_MESSAGE_BOX_SECOND)),
                     TRUE);
    }

    const int textHeight = MeasureText(dialog, label.right - label.left);
    SizeChild(dialog, IDC_MESSAGE_BOX_TEXT, label.right - label.left, textHeight);

    const int buttonTop = textHeight + 35;
    MoveChild(dialog, IDC_MESSAGE_BOX_FIRST, ChildRect(dialog, IDC_MESSAGE_BOX_FIRST).left, buttonTop);
    MoveChild(dialog, IDC_MESSAGE_BOX_SECOND, ChildRect(dialog, IDC_MESSAGE_BOX_SECOND).left, buttonTop);

    int height = textHeight + buttonHeight + 48;
    if (box.style & APP_MB_CHECKBOX) {
        MoveChild(dialog, IDC_MESSAGE_BOX_DONTSHOW, 30, height - 10);
        ShowWindow(GetDlgItem(dialog, IDC_MESSAGE_BOX_DONTSHOW), SW_SHOWNA);
        height += 15;
    }

    RECT window;
    GetWindowRect(dialog, &window);
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(dialog, &client);
    HRGN region = CreateRectRgn(0, 0, client.right, client.bottom);
    if (region) {
        ClipWindowCorners(dialog, region);
        // The window owns the region from here on and deletes it itself.
        if (!SetWindowRgn(dialog, region, TRUE))
            DeleteObject(region);
    }

    return TRUE;
}

void OnPaint(HWND dialog)
{
    CardPaint card(dialog, box.white, box.outline, box.band, BAND_HEIGHT);
    DrawCardTitle(card.dc, card.client, box.titleFont, box.title);
    if ((box.style & APP_MB_WARNING) == APP_MB_WARNING)
        DrawBitmap(card.dc, box.warning, card.client.right - 45, 30);
}

void End(HWND dialog, int result)
{
    if ((box.style & APP_MB_CHECKBOX) && box.checkState)
        *box.checkState = IsDlgButtonChecked(dialog, IDC_MESSAGE_BOX_DONTSHOW) == BST_CHECKED ? 1 : 0;
    EndDialog(dialog, result);
}

void OnDestroy()
{
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(box.outline), static_cast<HGDIOBJ>(box.white),
                           static_cast<HGDIOBJ>(box.band), static_cast<HGDIOBJ>(box.warning),
                           static_cast<HGDIOBJ>(box.titleFont), static_cast<HGDIOBJ>(box.bodyFont)}) {
        if (object)
            DeleteObject(object);
    }
    box.outline = nullptr;
    box.white = nullptr;
    box.band = box.warning = nullptr;
    box.titleFont = box.bodyFont = nullptr;
}

INT_PTR CALLBACK MessageBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_PAINT:
        OnPaint(dialog);
        return TRUE;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(box.white);
    case WM_CTLCOLORSTATIC: {
        // The message and the check box sit on the white face, as on the device.
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        (void)lParam;
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MESSAGE_BOX_FIRST:
        case IDOK:
            End(dialog, 1);
            return TRUE;
        case IDC_MESSAGE_BOX_SECOND:
        case IDCANCEL:
            End(dialog, 2);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int CardClearType()
{
    return ClearType();
}

void SetCardClearTypeSource(const int* clearTypeFlag)
{
    clearTypeSource = clearTypeFlag;
}

int SystemMessageBox(HWND owner, const wchar_t* text, const wchar_t* title)
{
    return MessageBoxW(owner, text, title, MB_OK);
}

int AppMessageBox(HWND owner, const wchar_t* text, const wchar_t* title, UINT style, int* checkState)
{
    CopyText(box.text, text);
    CopyText(box.title, title);
    box.style = style;
    box.checkState = checkState;
    HINSTANCE instance = AppInstance();
    INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MESSAGE_BOX), owner, MessageBoxProc, 0);
    // A box that could not be shown must not read as consent to a question.
    return result == 1 ? 1 : 2;
}
