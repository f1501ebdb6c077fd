#include "contacts/exchange/card_import.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "contacts/exchange/device_card.h"
#include "contacts/vcard/text_encoding.h"
#include "platform/cedb/object_store_bulk.h"
#include "platform/poom/contact_records.h"
#include "platform/poom/poom_objects.h"

namespace exchange {

const char kCategoryRule[] = "a category name has 1 to 29 characters and no comma";

namespace {

bool ReadFileBytes(const std::wstring& path, std::string& bytes)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return false;
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    const bool ok = !ferror(file);
    fclose(file);
    return ok;
}

IContact* AsContact(IDispatch* item)
{
    IContact* contact = nullptr;
    item->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact));
    item->Release();
    return contact;
}

IContact* FetchOrCreate(IPOutlookApp* app, long oid)
{
    IDispatch* item = nullptr;
    if (oid && SUCCEEDED(app->GetItemFromOid(oid, &item)) && item)
        return AsContact(item);
    item = nullptr;
    if (SUCCEEDED(app->CreateItem(olContactItem, &item)) && item)
        return AsContact(item);
    return nullptr;
}

// Where the contacts already stored are, by UID and by identity.
struct KnownContacts {
    std::map<std::string, long> byUid, byIdentity;

    void Load()
    {
        byUid.clear();
        byIdentity.clear();
        std::vector<poom::ContactData> all;
        poom::LoadAllContacts(all);
        for (const auto& data : all) {
            const vcard::CardContact card = CardOfContact(data);
            if (!card.uid.empty())
                byUid.emplace(card.uid, static_cast<long>(data.oid));
            byIdentity.emplace(CardIdentity(card), static_cast<long>(data.oid));
        }
    }

    long Find(const vcard::CardContact& card) const
    {
        auto uid = card.uid.empty() ? byUid.end() : byUid.find(card.uid);
        if (uid != byUid.end())
            return uid->second;
        auto same = byIdentity.find(CardIdentity(card));
        return same != byIdentity.end() ? same->second : 0;
    }

    void Note(const vcard::CardContact& card, long oid)
    {
        if (!card.uid.empty())
            byUid[card.uid] = oid;
        byIdentity[CardIdentity(card)] = oid;
    }
};

// Leaves out, and names, the categories the device could not keep whole:
// cut or split later, they would match no profile.
void KeepCategoryNames(vcard::CardContact& card, const CardFile& file, ImportOutcome& outcome)
{
    std::vector<std::string> kept;
    for (const auto& name : card.categories) {
        if (poom::IsCategoryName(vcard::Utf8ToWide(name)))
            kept.push_back(name);
        else
            outcome.categoriesLeftOut.push_back({file.name, card.line, CardName(card), name});
    }
    card.categories = std::move(kept);
}

// One property holds the card's lines that no other takes. Those beyond its
// room (a large photo) are named as not kept, rather than the store
// refusing the whole contact.
void FitExtras(vcard::CardContact& card)
{
    size_t room = poom::kLongestText;
    std::vector<std::string> kept;
    for (auto& line : card.extras) {
        const size_t length = vcard::Utf8ToWide(line).size() + 2;  // and its line break
        if (length <= room) {
            room -= length;
            kept.push_back(std::move(line));
            continue;
        }
        std::string name = line.substr(0, line.find_first_of(";:"));
        name = name.substr(name.find('.') + 1);  // without its group
        for (char& c : name)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (std::find(card.unkept.begin(), card.unkept.end(), name) == card.unkept.end())
            card.unkept.push_back(name);
    }
    card.extras = std::move(kept);
}

CardNote NoteOf(const CardFile& file, const vcard::CardContact& card, const char* reason)
{
    return {file.name, card.line, CardName(card), reason};
}

// One flush for the file. A write or the flush failing drops every change
// not yet flushed, so each card stored since then is lost too.
void StoreFile(IPOutlookApp* app, CardFile& file, KnownContacts& known, ImportOutcome& outcome,
               const std::function<void()>& step)
{
    struct Stored {
        const vcard::CardContact* card;
        bool update;
    };
    std::vector<Stored> pending;
    auto losePending = [&](DWORD error) {
        for (const Stored& stored : pending)
            outcome.notKept.push_back(NoteOf(file, *stored.card, ""));
        pending.clear();
        outcome.storeError = error;
        // The oids those cards got are gone: later cards must not update them.
        known.Load();
    };
    CedbBeginObjectStoreBulk();
    for (auto& card : file.cards.contacts) {
        step();
        if (CardName(card).empty()) {
            outcome.skipped.push_back(NoteOf(file, card, "no name or company"));
            continue;
        }
        KeepCategoryNames(card, file, outcome);
        FitExtras(card);
        const long oid = known.Find(card);
        IContact* contact = FetchOrCreate(app, oid);
        long saved = 0;
        if (!contact || FAILED(SaveCardAs(contact, card)) || FAILED(contact->get_Oid(&saved))) {
            const DWORD error = GetLastError();
            outcome.notKept.push_back(NoteOf(file, card, ""));
            if (contact)
                contact->Release();
            losePending(error);
            continue;
        }
        // A contact that went since it was listed is made anew.
        pending.push_back({&card, oid != 0 && saved == oid});
        known.Note(card, saved);
        contact->Release();
    }
    if (!CedbEndObjectStoreBulk())
        losePending(GetLastError());
    auto& unkept = outcome.unkeptProperties;
    for (const Stored& stored : pending) {
        ++(stored.update ? outcome.updated : outcome.imported);
        for (const auto& property : stored.card->unkept)
            if (std::find(unkept.begin(), unkept.end(), property) == unkept.end())
                unkept.push_back(property);
    }
}

}  // namespace

std::vector<CardFile> ReadCardFiles(const std::vector<std::wstring>& paths)
{
    std::vector<CardFile> files;
    for (const auto& path : paths) {
        CardFile file;
        file.path = path;
        file.name = vcard::WideToUtf8(path);
        std::string bytes;
        if (!ReadFileBytes(path, bytes)) {
            file.fault = FileFault::kUnreadable;
        } else {
            file.cards = vcard::ReadCards(bytes);
            // An empty file, a spreadsheet or a picture: "imported 0" would
            // hide that the wrong file was given.
            if (file.cards.contacts.empty() && file.cards.problems.empty())
                file.fault = FileFault::kNoCard;
        }
        files.push_back(std::move(file));
    }
    return files;
}

ImportOutcome StoreCardFiles(IPOutlookApp* app, std::vector<CardFile>& files,
                             const std::function<void(int done, int total)>& progress)
{
    ImportOutcome outcome;
    int total = 0, done = 0;
    for (const auto& file : files)
        total += static_cast<int>(file.cards.contacts.size());
    KnownContacts known;
    known.Load();
    for (auto& file : files) {
        if (file.fault != FileFault::kNone) {
            outcome.faultyFiles.push_back(&file);
            continue;
        }
        for (const auto& problem : file.cards.problems)
            outcome.skipped.push_back({file.name, problem.line, problem.name, problem.message});
        StoreFile(app, file, known, outcome, [&] {
            if (progress)
                progress(++done, total);
        });
    }
    return outcome;
}

}  // namespace exchange
