// The device's contact card: a modal top-level window that edits every
// field of one contact and shows a summary view. It runs its own message
// loop, so the caller's timers and paints go on while it is open.
#include "platform/poom/poom_objects.h"
#include "platform/shell/device_screen.h"
#include "platform/poom/card_save_failure.h"

#include <commctrl.h>
#include <oleauto.h>

namespace poom {

namespace {

constexpr wchar_t kPageClass[] = L"DialogPage";
constexpr int kRowHeight = 24;
constexpr int kLabelWidth = 92;
constexpr int kButtonHeight = 24;

const wchar_t* const kLabels[kTextProperties] = {
    L"File as", L"First name", L"Last name", L"Job title", L"Company", L"Street", L"City",
    L"State", L"Postal code", L"Work tel", L"Work 2 tel", L"Mobile tel", L"Home tel",
    L"Work fax", L"E-mail", L"E-mail 2", L"E-mail 3", L"Web page", L"Office", L"Department",
};

struct CardState {
    Contact* contact = nullptr;
    HWND page = nullptr;
    HWND summary = nullptr;
    int scroll = 0;
    int contentHeight = 0;
    bool unsaved = false;  // a save failed: the next close saves again
};

WNDPROC defaultButtonProc = nullptr;

CardState* StateOf(HWND card)
{
    return reinterpret_cast<CardState*>(GetWindowLongPtrW(card, GWLP_USERDATA));
}

std::wstring WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

std::wstring FormatDate(DATE date)
{
    SYSTEMTIME time;
    wchar_t text[64] = L"";
    if (date != POOM_NO_DATE && VariantTimeToSystemTime(date, &time))
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 64);
    return text;
}

std::wstring SummaryText(const ContactData& c)
{
    std::wstring text = c.text[0].empty() ? L"(No name)" : c.text[0];
    text += L"\r\n";
    auto line = [&](const wchar_t* label, const std::wstring& value) {
        if (!value.empty())
            text += std::wstring(label) + L": " + value + L"\r\n";
    };
    line(L"Job title", c.text[3]);
    line(L"Company", c.text[4]);
    line(L"Department", c.text[19]);
    line(L"Office", c.text[18]);
    for (int f = 9; f <= 17; ++f)
        line(kLabels[f], c.text[f]);
    std::wstring address = c.text[5];
    for (int f = 6; f <= 8; ++f)
        if (!c.text[f].empty())
            address += (address.empty() ? L"" : L", ") + c.text[f];
    line(L"Address", address);
    line(L"Birthday", FormatDate(c.birthday));
    line(L"Categories", c.categories);
    return text;
}

void ShowSummary(HWND card, bool summary)
{
    CardState* state = StateOf(card);
    if (summary)
        SetWindowTextW(state->summary, SummaryText(state->contact->Data()).c_str());
    ShowWindow(state->summary, summary ? SW_SHOW : SW_HIDE);
    ShowWindow(state->page, summary ? SW_HIDE : SW_SHOW);
}

// Reads the controls back into the contact; true when anything differs.
bool CollectChanges(HWND card)
{
    CardState* state = StateOf(card);
    ContactData& data = state->contact->WritableData();
    bool changed = false;
    for (int f = 0; f < kTextProperties; ++f) {
        const std::wstring text = WindowText(GetDlgItem(state->page, POOM_CARD_FIRST_FIELD_ID + f));
        if (text != data.text[f]) {
            data.text[f] = text;
            changed = true;
        }
    }
    SYSTEMTIME time = {};
    DATE birthday = POOM_NO_DATE;
    // A check box tells whether there is a birthday at all, rather than the
    // picker's own "none" state, which not every implementation reports.
    if (IsDlgButtonChecked(state->page, POOM_CARD_HAS_BIRTHDAY_ID) == BST_CHECKED &&
        SendDlgItemMessageW(state->page, POOM_CARD_BIRTHDAY_ID, DTM_GETSYSTEMTIME, 0,
                            reinterpret_cast<LPARAM>(&time)) == GDT_VALID) {
        time.wHour = time.wMinute = time.wSecond = time.wMilliseconds = 0;
        SystemTimeToVariantTime(&time, &birthday);
    }
    if (birthday != data.birthday) {
        data.birthday = birthday;
        changed = true;
    }
    const std::wstring before = data.categories;
    BSTR categories = SysAllocString(WindowText(GetDlgItem(state->page, POOM_CARD_CATEGORIES_ID)).c_str());
    state->contact->put_Categories(categories);
    SysFreeString(categories);
    return changed || before != data.categories;
}

// The categories typed are names of at most 29 characters each; a longer
// one would be cut when the device reads its lists, so that no profile of
// it matches. The card says which and stays open with what was typed.
bool CategoriesFit(HWND card)
{
    HWND edit = GetDlgItem(StateOf(card)->page, POOM_CARD_CATEGORIES_ID);
    std::wstring refused;
    for (const auto& name : SplitCategories(WindowText(edit)))
        if (!IsCategoryName(name))
            refused += L"\n" + name;
    if (refused.empty())
        return true;
    MessageBoxW(card, (L"A category name has at most 29 characters. Please shorten:" + refused).c_str(),
                POOM_CARD_TITLE, MB_OK | MB_ICONEXCLAMATION);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return false;
}

// The Summary child answers the command the program sends it, as the
// device's tab does, by switching the card to its summary view.
LRESULT CALLBACK SummaryButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == POOM_CARD_SUMMARY_COMMAND) {
        ShowSummary(GetParent(window), true);
        return 0;
    }
    return CallWindowProcW(defaultButtonProc, window, message, wParam, lParam);
}

void ScrollPage(HWND page, int position)
{
    HWND card = GetParent(page);
    CardState* state = StateOf(card);
    RECT client;
    GetClientRect(page, &client);
    const int limit = state->contentHeight - client.bottom > 0 ? state->contentHeight - client.bottom : 0;
    position = position < 0 ? 0 : (position > limit ? limit : position);
    if (position == state->scroll)
        return;
    ScrollWindowEx(page, 0, state->scroll - position, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    state->scroll = position;
    SetScrollPos(page, SB_VERT, position, TRUE);
}

LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    CardState* state = StateOf(GetParent(page));
    switch (message) {
    case WM_VSCROLL: {
        if (!state)
            break;
        int position = state->scroll;
        switch (LOWORD(wParam)) {
        case SB_LINEUP: position -= kRowHeight; break;
        case SB_LINEDOWN: position += kRowHeight; break;
        case SB_PAGEUP: position -= 5 * kRowHeight; break;
        case SB_PAGEDOWN: position += 5 * kRowHeight; break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: position = HIWORD(wParam); break;
        default: break;
        }
        ScrollPage(page, position);
        return 0;
    }
    case WM_MOUSEWHEEL:
        if (state)
            ScrollPage(page, state->scroll - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * kRowHeight);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == POOM_CARD_HAS_BIRTHDAY_ID && HIWORD(wParam) == BN_CLICKED) {
            EnableWindow(GetDlgItem(page, POOM_CARD_BIRTHDAY_ID),
                         IsDlgButtonChecked(page, POOM_CARD_HAS_BIRTHDAY_ID) == BST_CHECKED);
            return 0;
        }
        // Keeps a focused field in view when tabbing through the card.
        if (HIWORD(wParam) == EN_SETFOCUS && state) {
            RECT field, client;
            GetWindowRect(reinterpret_cast<HWND>(lParam), &field);
            MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&field), 2);
            GetClientRect(page, &client);
            if (field.top < 0)
                ScrollPage(page, state->scroll + field.top);
            else if (field.bottom > client.bottom)
                ScrollPage(page, state->scroll + field.bottom - client.bottom);
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcW(page, message, wParam, lParam);
}

void BuildControls(HWND card, CardState* state)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(card, GWLP_HINSTANCE));
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    RECT client;
    GetClientRect(card, &client);
    const int width = client.right;
    auto child = [&](HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h,
                     int id) {
        HWND window = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return window;
    };
    HWND edit = child(card, L"BUTTON", L"Edit", BS_PUSHBUTTON | WS_TABSTOP, 2, 2, width / 2 - 3, kButtonHeight,
                      POOM_CARD_EDIT_VIEW_ID);
    (void)edit;
    HWND summary = child(card, L"BUTTON", POOM_CARD_SUMMARY, BS_PUSHBUTTON | WS_TABSTOP, width / 2 + 1, 2,
                         width / 2 - 3, kButtonHeight, POOM_CARD_SUMMARY_COMMAND);
    defaultButtonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(summary, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SummaryButtonProc)));

    const int top = kButtonHeight + 6;
    state->page = CreateWindowExW(0, kPageClass, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN, 0, top,
                                  width, client.bottom - top, card, nullptr, instance, nullptr);
    state->summary = child(card, L"EDIT", L"", ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_BORDER, 2, top,
                           width - 4, client.bottom - top - 2, POOM_CARD_SUMMARY_VIEW_ID);
    ShowWindow(state->summary, SW_HIDE);

    const ContactData& data = state->contact->Data();
    const int fieldWidth = width - kLabelWidth - GetSystemMetrics(SM_CXVSCROLL) - 8;
    int y = 2;
    for (int f = 0; f < kTextProperties; ++f, y += kRowHeight) {
        child(state->page, L"STATIC", kLabels[f], SS_LEFT, 4, y + 3, kLabelWidth - 6, kRowHeight - 6, -1);
        child(state->page, L"EDIT", data.text[f].c_str(), ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kLabelWidth, y,
              fieldWidth, kRowHeight - 3, POOM_CARD_FIRST_FIELD_ID + f);
    }
    HWND hasBirthday = child(state->page, L"BUTTON", L"Birthday", BS_AUTOCHECKBOX | WS_TABSTOP, 4, y + 2,
                             kLabelWidth - 6, kRowHeight - 4, POOM_CARD_HAS_BIRTHDAY_ID);
    HWND picker = child(state->page, DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP, kLabelWidth, y,
                        fieldWidth, kRowHeight - 3, POOM_CARD_BIRTHDAY_ID);
    SYSTEMTIME time = {};
    const bool known = data.birthday != POOM_NO_DATE && VariantTimeToSystemTime(data.birthday, &time);
    if (known)
        SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    SendMessageW(hasBirthday, BM_SETCHECK, known ? BST_CHECKED : BST_UNCHECKED, 0);
    EnableWindow(picker, known);
    y += kRowHeight;
    child(state->page, L"STATIC", L"Categories", SS_LEFT, 4, y + 3, kLabelWidth - 6, kRowHeight - 6, -1);
    child(state->page, L"EDIT", data.categories.c_str(), ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kLabelWidth, y,
          fieldWidth, kRowHeight - 3, POOM_CARD_CATEGORIES_ID);
    y += kRowHeight;
    state->contentHeight = y + 2;

    RECT pageClient;
    GetClientRect(state->page, &pageClient);
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, state->contentHeight - 1,
                       static_cast<UINT>(pageClient.bottom), 0, 0};
    SetScrollInfo(state->page, SB_VERT, &info, TRUE);
}

ContactSaveFailureHandler saveFailureHandler;

LRESULT CALLBACK CardProc(HWND card, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* state = static_cast<CardState*>(create->lpCreateParams);
        SetWindowLongPtrW(card, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        BuildControls(card, state);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == POOM_CARD_SUMMARY_COMMAND) {
            ShowSummary(card, true);
            return 0;
        }
        if (LOWORD(wParam) == POOM_CARD_EDIT_VIEW_ID) {
            ShowSummary(card, false);
            return 0;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            SendMessageW(card, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (!CategoriesFit(card))
            return 0;
        // Closing the card keeps what was typed, as on the device; what the
        // store could not keep stays on the open card for a second try.
        if ((CollectChanges(card) || StateOf(card)->unsaved) && FAILED(StateOf(card)->contact->Save())) {
            const DWORD error = GetLastError();
            StateOf(card)->unsaved = true;
            if (saveFailureHandler)
                saveFailureHandler(card, error);
            else
                MessageBoxW(card, L"The contact could not be saved.", POOM_CARD_TITLE, MB_OK | MB_ICONERROR);
            return 0;
        }
        DestroyWindow(card);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(card, message, wParam, lParam);
}

bool RegisterCardClasses(HINSTANCE instance)
{
    static bool registered = false;
    if (registered)
        return true;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW cardClass = {};
    cardClass.lpfnWndProc = CardProc;
    cardClass.hInstance = instance;
    cardClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cardClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cardClass.lpszClassName = POOM_CARD_CLASS;
    WNDCLASSW pageClass = cardClass;
    pageClass.lpfnWndProc = PageProc;
    pageClass.lpszClassName = kPageClass;
    if (!RegisterClassW(&cardClass) || !RegisterClassW(&pageClass))
        return false;
    registered = true;
    return true;
}

}  // namespace

HRESULT ShowContactCard(Contact* contact, HWND owner)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterCardClasses(instance))
        return E_FAIL;
    CardState state;
    state.contact = contact;
    if (owner && !IsWindow(owner))
        owner = nullptr;
    // Full screen below the navigation bar, frameless, as on the device; a
    // pop-up at the default position would land at the desktop's corner.
    const RECT screen = ceshell::DefaultWindowRect();
    HWND card = CreateWindowExW(0, POOM_CARD_CLASS, POOM_CARD_TITLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top,
                                owner, nullptr, instance, &state);
    if (!card)
        return E_FAIL;
    if (owner)
        EnableWindow(owner, FALSE);
    SetForegroundWindow(card);
    MSG msg;
    bool quit = false;
    while (IsWindow(card)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        if (IsDialogMessageW(card, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (owner) {
        EnableWindow(owner, TRUE);
        SetForegroundWindow(owner);
    }
    if (IsWindow(card))
        DestroyWindow(card);
    // A quit request that ended the card belongs to the caller's loop.
    if (quit)
        PostQuitMessage(static_cast<int>(msg.wParam));
    return S_OK;
}

}  // namespace poom

void SetContactSaveFailureHandler(ContactSaveFailureHandler handler)
{
    poom::saveFailureHandler = handler;
}
