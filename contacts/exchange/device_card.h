// How a vCard's contact and a device contact turn into each other: the text
// fields one for one, line breaks as the device keeps them, the birthday and
// anniversary as dates of the object model, the categories as its list, and
// the card's lines no property holds in the one that keeps them.
#pragma once
#include <windows.h>

#include <string>

#include "contacts/vcard/vcard.h"
#include "platform/poom/contact_records.h"
#include "platform/poom/pimstore.h"

namespace exchange {

vcard::CardContact CardOfContact(const poom::ContactData& data);

// Sets every field of the card on the contact and saves it; the save's result.
HRESULT SaveCardAs(IContact* contact, const vcard::CardContact& card);

// How a card is named to the user: as it would be filed, else by its FN.
std::string CardName(const vcard::CardContact& card);

// What identifies a card that has no UID, so a card seen before updates its
// contact instead of adding another.
std::string CardIdentity(const vcard::CardContact& card);

}  // namespace exchange
