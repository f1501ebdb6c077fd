// Writing device contacts as vCard 3.0, sorted by name: the tool's export
// and the program's File > Export Contacts.
#pragma once
#include <functional>
#include <string>

#include "contacts/vcard/vcard.h"
#include "platform/poom/contact_records.h"

namespace exchange {

// The cards of the contacts `wanted` accepts (all when it is empty), one
// after another; *count gets how many.
std::string ContactCards(const std::function<bool(const poom::ContactData&, const vcard::CardContact&)>& wanted,
                         int* count);

}  // namespace exchange
