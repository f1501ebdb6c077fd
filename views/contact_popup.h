// The contact information popup (dialog 1014): a small rounded card with the
// marked contact's name, title, company and phones, which an arrow grows to
// the long form with more phones, the address, e-mails and web page.
#pragma once
#include <windows.h>

#include <string>

#include "contacts/field_catalogue.h"

// The texts it shows, built from the contact's field texts. The phones come
// in a short form (office, mobile, home) and a long one (also fax and the
// second business phone); the additional info is the address block with the
// e-mail addresses and the web page.
std::wstring PopupNameText(const ContactRecord& record);
std::wstring PopupTitleText(const ContactRecord& record);
std::wstring PopupPhoneText(const ContactRecord& record, bool longForm);
std::wstring PopupAdditionalText(const ContactRecord& record);

// Shows the popup, owned by the main window, for the contact at the contacts
// list's selection mark; nothing when no row is marked. Returns when it closes.
void ShowContactPopup();

// Tap area (25 x 20) of the arrow in the popup's bottom-right corner, as the
// popup was first sized; it stays there when the popup grows.
constexpr int POPUP_TOGGLE_WIDTH = 25;
constexpr int POPUP_TOGGLE_HEIGHT = 20;
// Top edge of the popup in screen coordinates, just below the header band.
constexpr int POPUP_TOP = 31;
