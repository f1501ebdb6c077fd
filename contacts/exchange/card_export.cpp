#include "contacts/exchange/card_export.h"

#include "contacts/exchange/device_card.h"
#include "platform/poom/poom_objects.h"

namespace exchange {

std::string ContactCards(const std::function<bool(const poom::ContactData&, const vcard::CardContact&)>& wanted,
                         int* count)
{
    std::vector<poom::ContactData> contacts;
    poom::LoadAllContacts(contacts);
    poom::SortContacts(contacts, 0, false);
    std::string cards;
    int written = 0;
    for (const auto& data : contacts) {
        const vcard::CardContact card = CardOfContact(data);
        if (wanted && !wanted(data, card))
            continue;
        cards += vcard::WriteCard(card);
        ++written;
    }
    if (count)
        *count = written;
    return cards;
}

}  // namespace exchange
