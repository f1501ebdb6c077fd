#include "tools/vtcontacts/contact_exchange.h"

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <map>

#include "contacts/vcard/text_encoding.h"
#include "contacts/vcard/vcard.h"
#include "export/export_file.h"
#include "platform/cedb/object_store.h"
#include "platform/cedb/object_store_bulk.h"
#include "platform/poom/contact_records.h"
#include "platform/poom/pimstore.h"
#include "platform/poom/poom_objects.h"
#include "platform/poom/poom_server.h"
#include "store/store_error.h"

namespace {

const char kHelp[] =
    "vtcontacts - exchange the device's contacts with vCard files\n"
    "\n"
    "Usage:\n"
    "  vtcontacts import FILE [--if-new-store]\n"
    "      Reads every card of FILE (vCard 2.1, 3.0 or 4.0; UTF-8, UTF-16 or\n"
    "      Windows-1252). A card seen before (same UID, or else the same name,\n"
    "      company, first e-mail and phone numbers) updates its contact instead\n"
    "      of adding another. A malformed card is reported with its line number\n"
    "      and skipped. With --if-new-store nothing happens when the device\n"
    "      store exists already.\n"
    "  vtcontacts export [--category NAME] [FILE]\n"
    "      Writes every contact, or those of one category, as vCard 3.0 to FILE\n"
    "      or to standard output.\n"
    "  vtcontacts list [--category NAME]\n"
    "      One line per contact: oid, name, company, categories.\n"
    "  vtcontacts categories\n"
    "  vtcontacts add-category NAME\n"
    "\n"
    "The tool refuses to work while Vantaro runs, since Vantaro holds the store.\n"
    "The store lives in the folder named by VANTARO_DEVICE_DIR, else in\n"
    "%LOCALAPPDATA%\\Vantaro\\Device.\n"
    "\n"
    "How vCard properties become contact fields (export writes them back the\n"
    "same way):\n"
    "  FileAs ................... \"Last, First\" from N, else the name N has,\n"
    "                             else ORG, else FN, else the first EMAIL, else\n"
    "                             the first TEL; X-VANTARO-FILEAS when the\n"
    "                             contact is filed otherwise. Export writes FN\n"
    "                             as the name is shown: \"First Last\"\n"
    "  First Name, Last Name .... N (given name, family name)\n"
    "  Title .................... TITLE\n"
    "  Company, Department ...... ORG (organisation; first unit)\n"
    "  Street Address ........... ADR street (the extended address on a second\n"
    "                             line) of the WORK address, else of the first\n"
    "                             address; City, State/Province and\n"
    "                             Zip/Postal Code from the same ADR\n"
    "  Business Phone ........... first TEL that is WORK, VOICE or untyped\n"
    "  Business Phone 2 ......... second such TEL\n"
    "  Mobile Phone ............. first TEL of type CELL\n"
    "  Home Phone ............... first TEL of type HOME (not FAX)\n"
    "  Business Fax ............. first TEL of type FAX and WORK, else any FAX\n"
    "                             that is not HOME\n"
    "  Email, Email2, Email3 .... the first three EMAIL\n"
    "  Web Address .............. URL\n"
    "  Office Location .......... X-VANTARO-OFFICE\n"
    "  Birthday ................. BDAY (YYYY-MM-DD, YYYYMMDD, --MMDD, --MM-DD);\n"
    "                             a birthday without a year is kept in year 1604\n"
    "  categories ............... CATEGORIES (several lines add up); a name of\n"
    "                             more than 29 characters or with a comma is\n"
    "                             left out and reported\n"
    "Within each kind, PREF (TYPE=PREF, or PREF=1 in vCard 4.0) comes first;\n"
    "further numbers of a kind that is full, PAGER and CAR numbers, home fax\n"
    "numbers and other addresses are left out. itemN. groups are read like\n"
    "ungrouped properties; PHOTO and other binary values are skipped.\n";

const char kCategoryRule[] = "a category name has 1 to 29 characters and no comma";

// The year that stands for "no year" in a stored birthday.
constexpr WORD kNoYear = 1604;

using Setter = HRESULT (STDMETHODCALLTYPE IContact::*)(BSTR);

const Setter kSetters[vcard::kCardTextFields] = {
    &IContact::put_FileAs, &IContact::put_FirstName, &IContact::put_LastName, &IContact::put_JobTitle,
    &IContact::put_CompanyName, &IContact::put_BusinessAddressStreet, &IContact::put_BusinessAddressCity,
    &IContact::put_BusinessAddressState, &IContact::put_BusinessAddressPostalCode,
    &IContact::put_BusinessTelephoneNumber, &IContact::put_Business2TelephoneNumber,
    &IContact::put_MobileTelephoneNumber, &IContact::put_HomeTelephoneNumber, &IContact::put_BusinessFaxNumber,
    &IContact::put_Email1Address, &IContact::put_Email2Address, &IContact::put_Email3Address,
    &IContact::put_WebPage, &IContact::put_OfficeLocation, &IContact::put_Department,
};

std::string Utf8(const std::wstring& text)
{
    return vcard::WideToUtf8(text);
}

// The device keeps line breaks as CR LF; cards carry them as LF.
std::wstring ToDevice(const std::string& text)
{
    std::wstring wide;
    for (wchar_t c : vcard::Utf8ToWide(text)) {
        if (c == L'\n')
            wide += L'\r';
        wide += c;
    }
    return wide;
}

std::string FromDevice(const std::wstring& text)
{
    std::wstring plain;
    for (wchar_t c : text)
        if (c != L'\r')
            plain += c;
    return Utf8(plain);
}

DATE ToDate(const vcard::CardDate& date)
{
    if (!date.Present())
        return POOM_NO_DATE;
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(date.year ? date.year : kNoYear);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    DATE value = POOM_NO_DATE;
    return SystemTimeToVariantTime(&time, &value) ? value : POOM_NO_DATE;
}

vcard::CardDate FromDate(DATE value)
{
    SYSTEMTIME time;
    if (value == POOM_NO_DATE || !VariantTimeToSystemTime(value, &time))
        return {};
    return {time.wYear == kNoYear ? 0 : time.wYear, time.wMonth, time.wDay};
}

// Reading goes straight to the records; writing goes through the contacts,
// which file, register categories and notify as the device does.
vcard::CardContact ToCard(const poom::ContactData& data)
{
    vcard::CardContact card;
    for (int f = 0; f < vcard::kCardTextFields; ++f)
        card.text[f] = FromDevice(data.text[f]);
    card.birthday = FromDate(data.birthday);
    for (const auto& name : poom::SplitCategories(data.categories))
        card.categories.push_back(Utf8(name));
    card.uid = Utf8(data.uid);
    return card;
}

HRESULT WriteContact(IContact* contact, const vcard::CardContact& card)
{
    for (int f = 0; f < vcard::kCardTextFields; ++f) {
        BSTR value = SysAllocString(ToDevice(card.text[f]).c_str());
        (contact->*kSetters[f])(value);
        SysFreeString(value);
    }
    contact->put_Birthday(ToDate(card.birthday));
    std::wstring list;
    for (const auto& name : card.categories)
        list += (list.empty() ? L"" : L", ") + vcard::Utf8ToWide(name);
    BSTR categories = SysAllocString(list.c_str());
    contact->put_Categories(categories);
    SysFreeString(categories);
    if (!card.uid.empty()) {
        IContactExchange* exchange = nullptr;
        if (SUCCEEDED(contact->QueryInterface(IID_IContactExchange, reinterpret_cast<void**>(&exchange)))) {
            BSTR uid = SysAllocString(vcard::Utf8ToWide(card.uid).c_str());
            exchange->put_Uid(uid);
            SysFreeString(uid);
            exchange->Release();
        }
    }
    return contact->Save();
}

// How a card is named to the user: as it would be filed.
std::string NameOf(const vcard::CardContact& card)
{
    if (!card.text[vcard::kFileAs].empty())
        return card.text[vcard::kFileAs];
    const std::string& first = card.text[vcard::kFirstName];
    const std::string& last = card.text[vcard::kLastName];
    if (!first.empty() || !last.empty())
        return last + (first.empty() || last.empty() ? "" : ", ") + first;
    return card.text[vcard::kCompany];
}

// What identifies a card that has no UID: the names, the company and the
// first ways to reach the person. The filing name counts only for a card
// that names nobody, so that contacts filed under their display name by
// earlier imports are still found.
std::string IdentityOf(const vcard::CardContact& card)
{
    std::string key;
    for (int f : {vcard::kFirstName, vcard::kLastName, vcard::kCompany, vcard::kEmail1, vcard::kMobilePhone,
                  vcard::kBusinessPhone})
        key += card.text[f] + '\x1F';
    if (card.text[vcard::kFirstName].empty() && card.text[vcard::kLastName].empty() &&
        card.text[vcard::kCompany].empty())
        key += card.text[vcard::kFileAs];
    return key;
}

bool HasCategory(const vcard::CardContact& card, const std::wstring& wanted)
{
    for (const auto& name : card.categories)
        if (lstrcmpiW(vcard::Utf8ToWide(name).c_str(), wanted.c_str()) == 0)
            return true;
    return false;
}

// Leaves out, and names, the categories the device could not keep whole:
// cut or split later, they would match no profile.
void KeepCategoryNames(vcard::CardContact& card, const std::string& file, ToolOutput& output)
{
    std::vector<std::string> kept;
    for (const auto& name : card.categories) {
        if (poom::IsCategoryName(vcard::Utf8ToWide(name)))
            kept.push_back(name);
        else
            output.err += file + ":" + std::to_string(card.line) + ": category \"" + name + "\" left out: " +
                          kCategoryRule + "\n";
    }
    card.categories = std::move(kept);
}

struct Entry {
    long oid = 0;
    vcard::CardContact card;
};

class Store {
public:
    ~Store()
    {
        if (folder)
            folder->Release();
        if (app) {
            app->Logoff();
            app->Release();
        }
        if (comStarted)
            CoUninitialize();
        if (registered)
            RevokePoomServer();
    }

    bool Open(ToolOutput& output)
    {
        if (FindWindowW(L"Vantaro", L"Vantaro")) {
            output.err += Refusal();
            return false;
        }
        registered = SUCCEEDED(RegisterPoomServer());
        if (!poom::EnsureContactDatabases()) {
            const DWORD error = GetLastError();
            if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
                output.err += Refusal();
            else
                output.err += "vtcontacts: cannot open the device store " + cedb::ObjectStorePath() + " (error " +
                              std::to_string(error) + ")\n";
            return false;
        }
        comStarted = SUCCEEDED(CoInitializeEx(nullptr, 0));
        if (FAILED(CoCreateInstance(CLSID_Application, nullptr, CLSCTX_INPROC_SERVER, IID_IPOutlookApp,
                                    reinterpret_cast<void**>(&app))) ||
            FAILED(app->Logon(0)) || FAILED(app->GetDefaultFolder(olFolderContacts, &folder))) {
            output.err += "vtcontacts: the contact store does not answer\n";
            return false;
        }
        return true;
    }

    std::vector<Entry> All()
    {
        std::vector<poom::ContactData> contacts;
        poom::LoadAllContacts(contacts);
        poom::SortContacts(contacts, 0, false);
        std::vector<Entry> entries;
        for (const auto& data : contacts)
            entries.push_back({static_cast<long>(data.oid), ToCard(data)});
        return entries;
    }

    IContact* Get(long oid)
    {
        IDispatch* item = nullptr;
        if (FAILED(app->GetItemFromOid(oid, &item)) || !item)
            return nullptr;
        return AsContact(item);
    }

    IContact* Create()
    {
        IDispatch* item = nullptr;
        if (FAILED(app->CreateItem(olContactItem, &item)) || !item)
            return nullptr;
        return AsContact(item);
    }

private:
    static std::string Refusal()
    {
        return "vtcontacts: Vantaro is running and has the device store open; close Vantaro and try again.\n";
    }

    static IContact* AsContact(IDispatch* item)
    {
        IContact* contact = nullptr;
        item->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact));
        item->Release();
        return contact;
    }

    IPOutlookApp* app = nullptr;
    IFolder* folder = nullptr;
    bool registered = false;
    bool comStarted = false;
};

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

int Import(const std::wstring& path, bool onlyIntoNewStore, ToolOutput& output)
{
    if (onlyIntoNewStore && GetFileAttributesW(vcard::Utf8ToWide(cedb::ObjectStorePath()).c_str()) !=
                                INVALID_FILE_ATTRIBUTES) {
        output.out += "The device store exists already; nothing imported.\n";
        return 0;
    }
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        output.err += "vtcontacts: cannot read " + Utf8(path) + "\n";
        return 1;
    }
    vcard::CardReadResult cards = vcard::ReadCards(bytes);
    if (cards.contacts.empty() && cards.problems.empty()) {
        // An empty file, a spreadsheet or a picture: saying "imported 0"
        // would hide that the wrong file was given.
        output.err += "vtcontacts: " + Utf8(path) + " holds no vCard; nothing imported\n";
        return 1;
    }
    Store store;
    if (!store.Open(output))
        return 1;
    for (auto& card : cards.contacts)
        KeepCategoryNames(card, Utf8(path), output);

    std::map<std::string, long> byUid, byIdentity;
    for (const auto& entry : store.All()) {
        if (!entry.card.uid.empty())
            byUid.emplace(entry.card.uid, entry.oid);
        byIdentity.emplace(IdentityOf(entry.card), entry.oid);
    }
    // One flush for the whole file. A write or the flush failing drops
    // every change not yet flushed, so each card stored since then is lost
    // too: every one of them is named, and the tool fails.
    struct Stored {
        const vcard::CardContact* card;
        bool update;
    };
    std::vector<Stored> pending;
    std::vector<const vcard::CardContact*> lost;
    DWORD lostBecause = 0;
    auto losePending = [&](DWORD error) {
        for (const Stored& stored : pending)
            lost.push_back(stored.card);
        pending.clear();
        lostBecause = error;
        // The oids those cards got are gone: later cards must not update them.
        byUid.clear();
        byIdentity.clear();
        for (const auto& entry : store.All()) {
            if (!entry.card.uid.empty())
                byUid.emplace(entry.card.uid, entry.oid);
            byIdentity.emplace(IdentityOf(entry.card), entry.oid);
        }
    };
    CedbBeginObjectStoreBulk();
    for (const auto& card : cards.contacts) {
        long oid = 0;
        auto uid = card.uid.empty() ? byUid.end() : byUid.find(card.uid);
        if (uid != byUid.end()) {
            oid = uid->second;
        } else {
            auto same = byIdentity.find(IdentityOf(card));
            if (same != byIdentity.end())
                oid = same->second;
        }
        IContact* contact = oid ? store.Get(oid) : nullptr;
        const bool update = contact != nullptr;
        if (!contact)
            contact = store.Create();
        if (!contact || FAILED(WriteContact(contact, card))) {
            const DWORD error = GetLastError();
            lost.push_back(&card);
            if (contact)
                contact->Release();
            losePending(error);
            continue;
        }
        long saved = 0;
        contact->get_Oid(&saved);
        if (!card.uid.empty())
            byUid[card.uid] = saved;
        byIdentity[IdentityOf(card)] = saved;
        pending.push_back({&card, update});
        contact->Release();
    }
    if (!CedbEndObjectStoreBulk())
        losePending(GetLastError());
    int imported = 0, updated = 0;
    for (const Stored& stored : pending)
        ++(stored.update ? updated : imported);
    for (const vcard::CardContact* card : lost)
        output.err += Utf8(path) + ":" + std::to_string(card->line) + ": " + NameOf(*card) + " was not kept: " +
                      Utf8(StoreFailureReason(lostBecause, L"import the file again")) + "\n";
    for (const auto& problem : cards.problems)
        output.err += Utf8(path) + ":" + std::to_string(problem.line) + ": " + problem.message + "; card skipped\n";
    const size_t skipped = cards.problems.size() + lost.size();
    output.out += "Imported " + std::to_string(imported) + ", updated " + std::to_string(updated) + ", skipped " +
                  std::to_string(skipped) + ".\n";
    return lost.empty() ? 0 : 1;
}

int Export(const std::wstring& category, const std::wstring& path, ToolOutput& output)
{
    Store store;
    if (!store.Open(output))
        return 1;
    std::string cards;
    int count = 0;
    for (const auto& entry : store.All()) {
        if (!category.empty() && !HasCategory(entry.card, category))
            continue;
        cards += vcard::WriteCard(entry.card);
        ++count;
    }
    if (path.empty()) {
        output.out += cards;
        return 0;
    }
    // Through a temporary file, so that a failure leaves the earlier file.
    ExportFile file;
    if (OpenExportFile(&file, path))
        WriteExportBytes(&file, cards);
    if (ExportFileFailed(file) || !CommitExportFile(&file)) {
        DiscardExportFile(&file);
        output.err += "vtcontacts: cannot write " + Utf8(path) + ": " + Utf8(DescribeExportFailure(file)) +
                      "; any earlier file was left as it was\n";
        return 1;
    }
    output.out += "Exported " + std::to_string(count) + " contacts to " + Utf8(path) + ".\n";
    return 0;
}

int List(const std::wstring& category, ToolOutput& output)
{
    Store store;
    if (!store.Open(output))
        return 1;
    for (const auto& entry : store.All()) {
        if (!category.empty() && !HasCategory(entry.card, category))
            continue;
        std::string categories;
        for (const auto& name : entry.card.categories)
            categories += (categories.empty() ? "" : ", ") + name;
        output.out += std::to_string(entry.oid) + "\t" + entry.card.text[vcard::kFileAs] + "\t" +
                      entry.card.text[vcard::kCompany] + "\t" + categories + "\n";
    }
    return 0;
}

int Categories(ToolOutput& output)
{
    Store store;
    if (!store.Open(output))
        return 1;
    for (const auto& name : poom::LoadCategoryNames())
        output.out += Utf8(name) + "\n";
    return 0;
}

int AddCategory(const std::wstring& name, ToolOutput& output)
{
    const auto names = poom::SplitCategories(name);
    if (names.size() != 1 || !poom::IsCategoryName(names[0])) {
        output.err += std::string("vtcontacts: ") + kCategoryRule + "\n";
        return 2;
    }
    Store store;
    if (!store.Open(output))
        return 1;
    if (!poom::AddCategoryNames(names)) {
        output.err += "vtcontacts: the category could not be stored\n";
        return 1;
    }
    return 0;
}

int Usage(ToolOutput& output, const std::string& problem)
{
    output.err += "vtcontacts: " + problem + "\n\n" + kHelp;
    return 2;
}

}  // namespace

const char* ContactToolHelp()
{
    return kHelp;
}

int RunContactTool(const std::vector<std::wstring>& args, ToolOutput& output)
{
    if (args.empty())
        return Usage(output, "no command given");
    const std::wstring& command = args[0];
    std::vector<std::wstring> rest;
    std::wstring category;
    bool onlyIntoNewStore = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == L"--category" && i + 1 < args.size())
            category = args[++i];
        else if (args[i] == L"--if-new-store")
            onlyIntoNewStore = true;
        else if (args[i].rfind(L"--", 0) == 0)
            return Usage(output, "unknown option " + Utf8(args[i]));
        else
            rest.push_back(args[i]);
    }
    if (command == L"help" || command == L"--help" || command == L"-h") {
        output.out += kHelp;
        return 0;
    }
    if (command == L"import" && rest.size() == 1)
        return Import(rest[0], onlyIntoNewStore, output);
    if (command == L"export" && rest.size() <= 1)
        return Export(category, rest.empty() ? L"" : rest[0], output);
    if (command == L"list" && rest.empty())
        return List(category, output);
    if (command == L"categories" && rest.empty())
        return Categories(output);
    if (command == L"add-category" && rest.size() == 1)
        return AddCategory(rest[0], output);
    return Usage(output, "cannot make sense of the command line");
}
