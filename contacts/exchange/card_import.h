// Importing vCard files into the device's contacts: the one importer that
// both the program's menu (and files dropped on it) and the vtcontacts tool
// use. A card seen before (same UID, or else the same names, company, first
// e-mail and phone numbers) updates its contact instead of adding another,
// so importing a file again adds nothing twice.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "contacts/vcard/vcard.h"
#include "platform/poom/pimstore.h"

namespace exchange {

// Why a file gave no cards at all.
enum class FileFault { kNone, kUnreadable, kNoCard };

struct CardFile {
    std::wstring path;
    std::string name;  // UTF-8, as messages name the file
    FileFault fault = FileFault::kNone;
    vcard::CardReadResult cards;
};

// A card that was not imported, or a category that was left out of one.
struct CardNote {
    std::string file;  // as CardFile::name
    int line = 0;
    std::string name;    // the card's, empty when it was broken before giving one
    std::string reason;  // "card has no END:VCARD", the category's name, ...
};

struct ImportOutcome {
    int imported = 0;
    int updated = 0;
    std::vector<CardNote> skipped;          // malformed or nameless cards
    std::vector<CardNote> notKept;          // lost when the store failed
    DWORD storeError = 0;                   // why those were lost
    std::vector<CardNote> categoriesLeftOut;
    std::vector<const CardFile*> faultyFiles;  // unreadable, or without a card
    std::vector<std::string> unkeptProperties;  // of the stored cards, each once
    int Skipped() const { return static_cast<int>(skipped.size() + notKept.size()); }
};

// The rule a kept category name follows, for the messages that name one.
extern const char kCategoryRule[];

// Reads each file whole; a file that cannot be read or holds no card is
// marked so, never an error of the whole import.
std::vector<CardFile> ReadCardFiles(const std::vector<std::wstring>& paths);

// Stores the cards of the files through the object model's application
// (one flush per file: a store failure loses that file's cards, all named,
// and none is half kept). `progress` hears (cards done, cards in all) and
// may be empty. Files must outlive the outcome, which points into them.
ImportOutcome StoreCardFiles(IPOutlookApp* app, std::vector<CardFile>& files,
                             const std::function<void(int done, int total)>& progress);

}  // namespace exchange
