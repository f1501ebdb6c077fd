// The activity records both engines store: Vantaro's thirteen properties,
// with seeded text of chosen lengths.
#pragma once
#include <random>
#include <string>

#include "platform/cedb/windbase.h"

namespace bench {

const CEPROPID kContact = 0x00150003, kEvent = 0x0016001F, kNextAction = 0x0017001F, kNotes = 0x0018001F,
               kUser1 = 0x0019001F, kUser2 = 0x001A001F, kUser3 = 0x001B001F, kLastFlag = 0x001D000B,
               kDate = 0x001E0005, kNextDate = 0x001F0005, kRemind = 0x00200002, kFileAs = 0x0020001F,
               kDone = 0x00210002;
const int kRecords = 65535;
const int kContacts = 1000;

struct Activity {
    int contact;
    std::wstring event, next, notes, u1, u2, u3, fileas;
    bool last;
    double date, nextdate;
    int remind, done;
};

inline std::wstring Text(std::mt19937& rng, size_t len)
{
    static const wchar_t kChars[] = L"abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::wstring s;
    for (size_t i = 0; i < len; ++i) s.push_back(kChars[rng() % (sizeof kChars / sizeof kChars[0] - 1)]);
    return s;
}

inline Activity MakeActivity(std::mt19937& rng, size_t notes)
{
    Activity a;
    a.contact = static_cast<int>(rng() % kContacts);
    a.event = Text(rng, 8);
    a.next = Text(rng, 10);
    a.notes = Text(rng, notes);
    a.u1 = Text(rng, 6);
    a.u2 = Text(rng, 6);
    a.u3 = Text(rng, 6);
    a.fileas = Text(rng, 16);
    a.last = rng() % 20 == 0;
    a.date = 40000 + rng() % 3000 + 0.25;
    a.nextdate = 40000 + rng() % 3000 + 0.5;
    a.remind = static_cast<int>(rng() % 14);
    a.done = static_cast<int>(rng() % 2);
    return a;
}

inline std::string Utf8(const std::wstring& w) { return std::string(w.begin(), w.end()); }  // ASCII only

}  // namespace bench
