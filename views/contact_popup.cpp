#include "views/contact_popup.h"

#include "base/app_handles.h"
#include "base/drawing.h"
#include "base/full_screen_dialog.h"
#include "contacts/contact_fields.h"
#include "platform/shell/aygshell.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "views/list_model.h"

#include <algorithm>

// ---- Texts ------------------------------------------------------------------

namespace {

// Contact field indices the popup reads.
enum PopupField {
    FIRST_NAME = 1, LAST_NAME = 2, TITLE = 3, COMPANY = 4,
    STREET = 5, CITY = 6, STATE = 7, ZIP = 8,
    BUSINESS_PHONE = 9, BUSINESS_PHONE_2 = 10, MOBILE_PHONE = 11, HOME_PHONE = 12, BUSINESS_FAX = 13,
    EMAIL = 14, EMAIL_2 = 15, EMAIL_3 = 16, WEB_ADDRESS = 17,
};

bool Has(const ContactRecord& record, int field)
{
    return record.field[field][0] != L'\0';
}

struct PhoneLine {
    int field;
    const wchar_t* label;
};

const PhoneLine shortPhones[] = {
    {BUSINESS_PHONE, L" (Office)\n"}, {MOBILE_PHONE, L" (Cell Phone)\n"}, {HOME_PHONE, L" (Home)\n"},
};
const PhoneLine longPhones[] = {
    {BUSINESS_PHONE, L" (Office)\n"}, {MOBILE_PHONE, L" (Cell Phone)\n"}, {HOME_PHONE, L" (Home)\n"},
    {BUSINESS_FAX, L" (Fax)\n"},      {BUSINESS_PHONE_2, L" (Other)"},
};

}  // namespace

std::wstring PopupNameText(const ContactRecord& record)
{
    std::wstring text = record.field[FIRST_NAME];
    if (!text.empty())
        text += L' ';
    return text + record.field[LAST_NAME];
}

std::wstring PopupTitleText(const ContactRecord& record)
{
    std::wstring text;
    for (int field : {TITLE, COMPANY}) {
        if (Has(record, field)) {
            text += record.field[field];
            text += L'\n';
        }
    }
    return text;
}

std::wstring PopupPhoneText(const ContactRecord& record, bool longForm)
{
    std::wstring text;
    const PhoneLine* lines = longForm ? longPhones : shortPhones;
    const size_t count = longForm ? ARRAYSIZE(longPhones) : ARRAYSIZE(shortPhones);
    for (size_t i = 0; i < count; ++i) {
        if (Has(record, lines[i].field)) {
            text += record.field[lines[i].field];
            text += lines[i].label;
        }
    }
    return text;
}

std::wstring PopupAdditionalText(const ContactRecord& record)
{
    std::wstring text = record.field[STREET];
    if (Has(record, CITY) || Has(record, STATE) || Has(record, ZIP))
        text += L'\n';
    text += record.field[CITY];
    if (Has(record, STATE))
        text += L',';
    text += record.field[STATE];
    if (Has(record, ZIP))
        text += L' ';
    text += record.field[ZIP];
    for (int field : {EMAIL, EMAIL_2, EMAIL_3, WEB_ADDRESS}) {
        if (Has(record, field)) {
            text += L'\n';
            text += record.field[field];
        }
    }
    return text;
}

// ---- The popup --------------------------------------------------------------

namespace {

constexpr COLORREF OUTLINE_BLACK = 0x000000;
constexpr COLORREF TRANSPARENT_MAGENTA = 0xFF00FF;
constexpr int MEASURE_HEIGHT = 500;
constexpr int LANDSCAPE_COLUMN_SPACING = 20;
constexpr int CORNER_IMAGE_WIDTH = 16, CORNER_IMAGE_HEIGHT = 14;
constexpr int ARROW_LONG_SIDE = 9, ARROW_SHORT_SIDE = 5;

// Static controls wrap as measured here; the edit-control rule also breaks a
// word wider than the column (a long e-mail address) instead of running on.
constexpr UINT TEXT_FORMAT = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | DT_EDITCONTROL;

// What the popup keeps while it is open (one at a time: it is modal).
struct PopupState {
    ContactRecord record;
    HFONT normalFont, boldFont;
    HBRUSH background;
    HPEN outline;
    HBITMAP arrowShort, arrowLong, corner;
    int nameHeight, titleHeight, phonesHeight, additionalHeight;
    int gap;
    int columnWidth;
    POINT origin;        // the name control's place in the template
    bool landscape;
    RECT toggleArea;
    bool expanded;
    int shortWidth, shortHeight;
    int maxWidth, maxHeight;   // what the screen leaves right of and below the popup's corner
};

PopupState* popup;

int Measure(HWND dialog, HFONT font, const std::wstring& text, int width)
{
    if (text.empty())
        return 0;
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, font);
    RECT rect = {0, 0, width, MEASURE_HEIGHT};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, TEXT_FORMAT | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    return rect.bottom - rect.top;
}

// Sets a control's text and measures it at the column width; an empty text
// hides the control. Returns the height.
int SetText(HWND dialog, int id, HFONT font, const std::wstring& text)
{
    SetDlgItemTextW(dialog, id, text.c_str());
    const int height = Measure(dialog, font, text, popup->columnWidth);
    if (height == 0)
        ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    return height;
}

void Place(HWND dialog, int id, int x, int y, int height, bool show)
{
    HWND control = GetDlgItem(dialog, id);
    SetWindowPos(control, nullptr, x, y, popup->columnWidth, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

SIZE ClientSize(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

// The rounded region of the popup's current size (the window owns it).
void ApplyRegion(HWND dialog)
{
    const SIZE size = ClientSize(dialog);
    HRGN region = CreateRectRgn(0, 0, size.cx, size.cy);
    if (!region)
        return;
    ClipWindowCorners(dialog, region);
    if (!SetWindowRgn(dialog, region, TRUE))
        DeleteObject(region);
}

void Resize(HWND dialog, int width, int height)
{
    width = std::min(width, popup->maxWidth);
    height = std::min(height, popup->maxHeight);
    SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Top of the phone numbers: below the name and the title lines that show.
int PhonesTop()
{
    int y = popup->origin.y;
    if (popup->nameHeight)
        y += popup->nameHeight + popup->gap;
    if (popup->titleHeight)
        y += popup->titleHeight + popup->gap;
    return y;
}

void SetPhones(HWND dialog, bool longForm)
{
    popup->phonesHeight = SetText(dialog, IDC_POPUP_PHONES, popup->normalFont, PopupPhoneText(popup->record, longForm));
    Place(dialog, IDC_POPUP_PHONES, popup->origin.x, PhonesTop(), popup->phonesHeight, popup->phonesHeight > 0);
}

void Expand(HWND dialog)
{
    popup->expanded = true;
    SetPhones(dialog, true);
    int y = PhonesTop();
    if (popup->phonesHeight)
        y += popup->phonesHeight + popup->gap;
    const SIZE client = ClientSize(dialog);
    int needed = y + popup->gap;
    int width = client.cx;
    const std::wstring additional = PopupAdditionalText(popup->record);
    popup->additionalHeight = SetText(dialog, IDC_POPUP_ADDITIONAL, popup->normalFont, additional);
    if (popup->additionalHeight) {
        if (popup->landscape) {
            // A second column beside the first, level with the title line;
            // the popup always widens for it, or it would lie outside.
            const int x = popup->origin.x + popup->columnWidth + LANDSCAPE_COLUMN_SPACING;
            const int top = popup->origin.y + (popup->nameHeight ? popup->nameHeight + popup->gap : 0);
            Place(dialog, IDC_POPUP_ADDITIONAL, x, top, popup->additionalHeight, true);
            needed = std::max(needed, popup->additionalHeight + 2 * popup->gap + top);
            width = popup->columnWidth + popup->origin.x + client.cx + LANDSCAPE_COLUMN_SPACING;
        } else {
            Place(dialog, IDC_POPUP_ADDITIONAL, popup->origin.x, y, popup->additionalHeight, true);
            needed = y + popup->additionalHeight + 2 * popup->gap;
        }
    }
    // The long form never makes the popup smaller than the short one.
    if (needed > client.cy || width > client.cx)
        Resize(dialog, width, std::max(needed, static_cast<int>(client.cy)));
}

void Collapse(HWND dialog)
{
    popup->expanded = false;
    SetPhones(dialog, false);
    ShowWindow(GetDlgItem(dialog, IDC_POPUP_ADDITIONAL), SW_HIDE);
    Resize(dialog, popup->shortWidth, popup->shortHeight);
}

void RememberForm()
{
    settings.defaultpopupinfosize = popup->expanded ? 1 : 0;
    SaveSetting(&Settings::defaultpopupinfosize);
}

void Toggle(HWND dialog)
{
    if (popup->expanded)
        Collapse(dialog);
    else
        Expand(dialog);
    ApplyRegion(dialog);
    InvalidateRect(dialog, nullptr, TRUE);
    RememberForm();
}

HBITMAP LoadPicture(int id)
{
    return LoadBitmapW(AppInstance(), MAKEINTRESOURCEW(id));
}

void CreateGraphics(HWND dialog)
{
    popup->normalFont = CreateAppFont(FW_NORMAL, settings.popupfontsize, settings.cleartypeflag);
    popup->boldFont = CreateAppFont(FW_BOLD, settings.popupfontsize, settings.cleartypeflag);
    popup->background = CreateSolidBrush(settings.popupbkgcolor);
    popup->outline = CreatePen(PS_SOLID, 2, OUTLINE_BLACK);

    RECT screen = {};
    GetWindowRect(hMainWindow, &screen);
    popup->landscape = screen.bottom < screen.right;
    popup->arrowShort = LoadPicture(popup->landscape ? IDB_ARROW_LEFT : IDB_ARROW_DOWN);
    popup->arrowLong = LoadPicture(popup->landscape ? IDB_ARROW_RIGHT : IDB_ARROW_UP);
    popup->corner = LoadPicture(IDB_CORNER_BOX);

    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, popup->normalFont);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    popup->gap = metrics.tmHeight / 3;
}

void DeleteGraphics()
{
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(popup->normalFont), static_cast<HGDIOBJ>(popup->boldFont),
                           static_cast<HGDIOBJ>(popup->background), static_cast<HGDIOBJ>(popup->outline),
                           static_cast<HGDIOBJ>(popup->arrowShort), static_cast<HGDIOBJ>(popup->arrowLong),
                           static_cast<HGDIOBJ>(popup->corner)}) {
        if (object)
            DeleteObject(object);
    }
}

BOOL OnInitPopup(HWND dialog, CEOID contact)
{
    CreateGraphics(dialog);
    GetContactRecord(contact, &popup->record);

    // The column: the name control as the template lays it out.
    HWND name = GetDlgItem(dialog, IDC_POPUP_NAME);
    RECT column = {};
    GetWindowRect(name, &column);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&column), 2);
    popup->origin = {column.left, column.top};
    popup->columnWidth = ClientSize(name).cx;

    SendMessageW(name, WM_SETFONT, reinterpret_cast<WPARAM>(popup->boldFont), FALSE);
    for (int id : {IDC_POPUP_TITLE, IDC_POPUP_PHONES, IDC_POPUP_ADDITIONAL})
        SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(popup->normalFont), FALSE);

    // The name is drawn bold, so it is measured bold: a bold line is wider
    // and may wrap where the normal one would not.
    popup->nameHeight = SetText(dialog, IDC_POPUP_NAME, popup->boldFont, PopupNameText(popup->record));
    popup->titleHeight = SetText(dialog, IDC_POPUP_TITLE, popup->normalFont, PopupTitleText(popup->record));
    popup->phonesHeight =
        SetText(dialog, IDC_POPUP_PHONES, popup->normalFont, PopupPhoneText(popup->record, false));
    popup->additionalHeight =
        SetText(dialog, IDC_POPUP_ADDITIONAL, popup->normalFont, PopupAdditionalText(popup->record));

    int y = popup->origin.y;
    const int stacked[][2] = {{IDC_POPUP_NAME, popup->nameHeight},
                              {IDC_POPUP_TITLE, popup->titleHeight},
                              {IDC_POPUP_PHONES, popup->phonesHeight}};
    for (const auto& control : stacked) {
        if (control[1] == 0)
            continue;
        Place(dialog, control[0], popup->origin.x, y, control[1], true);
        y += control[1] + popup->gap;
    }
    Place(dialog, IDC_POPUP_ADDITIONAL, popup->origin.x, y, popup->additionalHeight, false);

    // Placed below the header band, centred on the main window (in landscape
    // on the room the second column leaves), and never past the screen.
    RECT main = {};
    GetWindowRect(hMainWindow, &main);
    const SIZE mainClient = ClientSize(hMainWindow);
    const int width = ClientSize(dialog).cx;
    int height = y + popup->gap;
    int x = (mainClient.cx - width) / 2;
    if (popup->landscape) {
        const int landscapeHeight = popup->phonesHeight + 2 * (popup->gap + popup->origin.y) +
                                    popup->titleHeight + popup->nameHeight;
        height = std::max(height, landscapeHeight);
        x = (mainClient.cx - popup->columnWidth - width - POPUP_TOGGLE_WIDTH) / 2;
    }
    x = main.left + std::max(0, x);
    popup->maxWidth = std::max(width, static_cast<int>(main.right - x));
    popup->maxHeight = std::max(static_cast<int>(POPUP_TOGGLE_HEIGHT) + CORNER_IMAGE_HEIGHT,
                                static_cast<int>(main.bottom - POPUP_TOP));
    height = std::max(height, static_cast<int>(POPUP_TOGGLE_HEIGHT) + CORNER_IMAGE_HEIGHT);
    SetWindowPos(dialog, nullptr, x, POPUP_TOP, width, std::min(height, popup->maxHeight),
                 SWP_NOZORDER | SWP_NOACTIVATE);

    const SIZE client = ClientSize(dialog);
    popup->shortWidth = client.cx;
    popup->shortHeight = client.cy;
    popup->toggleArea = {client.cx - POPUP_TOGGLE_WIDTH, client.cy - POPUP_TOGGLE_HEIGHT, client.cx, client.cy};
    ApplyRegion(dialog);

    if (settings.defaultpopupinfosize == 1)
        Toggle(dialog);
    // Keys come to the popup itself, which has nothing to focus.
    SetFocus(dialog);
    return FALSE;
}

void OnPaint(HWND dialog)
{
    CardPaint card(dialog, popup->background, popup->outline);
    HDC dc = card.dc;
    HBITMAP arrow = popup->expanded ? popup->arrowLong : popup->arrowShort;
    const int arrowWidth = popup->landscape ? ARROW_SHORT_SIDE : ARROW_LONG_SIDE;
    const int arrowHeight = popup->landscape ? ARROW_LONG_SIDE : ARROW_SHORT_SIDE;
    if (arrow)
        TransparentImage(dc, popup->toggleArea.left + 5, popup->toggleArea.top + 5, arrowWidth, arrowHeight, arrow,
                         0, 0, arrowWidth, arrowHeight, TRANSPARENT_MAGENTA);
    if (popup->corner)
        TransparentImage(dc, card.client.right - 20, card.client.top + 5, CORNER_IMAGE_WIDTH, CORNER_IMAGE_HEIGHT,
                         popup->corner, 0, 0, CORNER_IMAGE_WIDTH, CORNER_IMAGE_HEIGHT, TRANSPARENT_MAGENTA);
}

// A tap on the arrow switches the form; anywhere else closes the popup and
// remembers the form for the next one.
void OnPenDown(HWND dialog, LPARAM lParam)
{
    const POINT tap = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (PtInRect(&popup->toggleArea, tap)) {
        Toggle(dialog);
        return;
    }
    RememberForm();
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK PopupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!popup)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        return OnInitPopup(dialog, static_cast<CEOID>(lParam));
    case WM_SHOWWINDOW:
        // Taps outside the popup reach it too, so that they close it.
        if (wParam)
            SetCapture(dialog);
        return FALSE;
    case WM_ERASEBKGND:
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
        return TRUE;
    case WM_PAINT:
        OnPaint(dialog);
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool isName = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_POPUP_NAME;
        SetTextColor(dc, settings.popuptextcolor);
        SetBkColor(dc, settings.popupbkgcolor);
        SetBkMode(dc, TRANSPARENT);
        SelectObject(dc, isName ? popup->boldFont : popup->normalFont);
        return reinterpret_cast<INT_PTR>(popup->background);
    }
    case WM_SETFOCUS:
        // The dialog manager would hand the focus on to the first text,
        // which drops keys; the popup keeps it.
        return TRUE;
    case WM_GETDLGCODE:
        // Enter and the arrows are the popup's own keys, not the dialog
        // manager's default button and focus moves.
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, DLGC_WANTALLKEYS);
        return TRUE;
    case WM_LBUTTONDOWN:
        OnPenDown(dialog, lParam);
        return TRUE;
    case WM_KEYUP:
        // Enter closes as the device's action key does; Escape, on a
        // keyboard, likewise. Neither changes the remembered form.
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            EndDialog(dialog, wParam == VK_RETURN ? IDOK : IDCANCEL);
            return TRUE;
        }
        if (wParam == VK_UP || wParam == VK_DOWN) {
            OnPenDown(dialog, MAKELPARAM(popup->toggleArea.left, popup->toggleArea.top));
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        // Closed from outside: the stored form stays as it was.
        return EndOnOkOrCancel(dialog, wParam);
    case WM_DESTROY:
        if (GetCapture() == dialog)
            ReleaseCapture();
        DeleteGraphics();
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

void ShowContactPopup()
{
    const CEOID contact = MarkedContactOid();
    if (!contact || !hMainWindow)
        return;
    PopupState state = {};
    popup = &state;
    DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(IDD_CONTACT_POPUP), hMainWindow, PopupProc,
                    static_cast<LPARAM>(contact));
    popup = nullptr;
}
