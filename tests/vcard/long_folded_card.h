// A hostile card: one property line of `bytes` octets without a colon,
// folded every 75 octets, between two good cards. Readers must refuse it at
// a cost that grows with its length, not with its square.
#pragma once
#include <string>

inline std::string LongFoldedCard(size_t bytes)
{
    std::string text = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Before\r\nEND:VCARD\r\n"
                       "BEGIN:VCARD\r\nVERSION:3.0\r\nNOTE";
    const std::string fold = "\r\n " + std::string(74, 'x');
    text.reserve(bytes + bytes / 24 + 200);
    for (size_t written = 0; written < bytes; written += 74)
        text += fold;
    text += "\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:After\r\nEND:VCARD\r\n";
    return text;
}
