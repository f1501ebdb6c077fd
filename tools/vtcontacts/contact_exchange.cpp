#include "tools/vtcontacts/contact_exchange.h"

#include <windows.h>

#include <cstdio>

#include "contacts/exchange/card_export.h"
#include "contacts/exchange/card_import.h"
#include "contacts/vcard/text_encoding.h"
#include "contacts/vcard/vcard.h"
#include "export/export_file.h"
#include "platform/cedb/object_store.h"
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
    "      and skipped, and so is a card without any name, company, e-mail or\n"
    "      phone. With --if-new-store nothing happens when the device store\n"
    "      exists already. Inside Vantaro: File > Import Contacts...\n"
    "  vtcontacts export [--category NAME] [FILE]\n"
    "      Writes every contact, or those of one category, as vCard 3.0 to FILE\n"
    "      or to standard output.\n"
    "  vtcontacts list [--category NAME]\n"
    "      One line per contact: oid, name, company, categories.\n"
    "  vtcontacts categories\n"
    "  vtcontacts add-category NAME\n"
    "\n"
    "The tool shares the store with a running Vantaro, whose contacts list\n"
    "shows an import within a second.\n"
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
    "  Names .................... N: family, given, middle, title, suffix;\n"
    "                             NICKNAME; X-PHONETIC-FIRST-NAME, -LAST-NAME\n"
    "                             and -ORG (else SORT-STRING) as reading forms\n"
    "  Title .................... TITLE\n"
    "  Company, Department ...... ORG (organisation; the further units)\n"
    "  Addresses ................ ADR by type: WORK (or untyped) the business\n"
    "                             address, HOME the home one, any other the\n"
    "                             other one; each with its country\n"
    "  Business Phone, Business Phone 2\n"
    "                             TEL that is WORK, VOICE, MSG or untyped\n"
    "  Home Phone, Home Phone 2 . TEL of type HOME (not FAX)\n"
    "  Mobile Phone ............. TEL of type CELL\n"
    "  Business Fax ............. TEL of types FAX and WORK, else any FAX that\n"
    "                             is not HOME; Home Fax: TEL of HOME and FAX\n"
    "  Pager, Car, Radio ........ TEL of type PAGER, CAR, X-RADIO\n"
    "  Assistant's phone ........ TEL of type X-ASSISTANT\n"
    "  Email, Email2, Email3 .... the first three EMAIL\n"
    "  Web Address .............. URL\n"
    "  IM addresses ............. IMPP and X-AIM, X-JABBER, X-SKYPE, ... (three)\n"
    "  Notes .................... NOTE\n"
    "  Family, assistant ........ X-SPOUSE, X-CHILDREN, X-ASSISTANT and the\n"
    "                             forms other programs write (X-MS-*,\n"
    "                             X-EVOLUTION-*, RELATED, labelled X-AB* lines)\n"
    "  Office Location .......... X-VANTARO-OFFICE\n"
    "  Birthday, Anniversary .... BDAY, ANNIVERSARY or X-ANNIVERSARY\n"
    "                             (YYYY-MM-DD, YYYYMMDD, --MMDD, --MM-DD);\n"
    "                             a date without a year is kept in year 1604\n"
    "  categories ............... CATEGORIES (several lines add up); a name of\n"
    "                             more than 29 characters or with a comma is\n"
    "                             left out and reported\n"
    "Within each kind, PREF (TYPE=PREF, or PREF=1 in vCard 4.0) comes first.\n"
    "Lines with no field (PHOTO, KEY, unknown X- properties, numbers beyond a\n"
    "full kind) are kept as the card carried them and written back on export;\n"
    "import names those that do not fit in what one contact can keep.\n";

std::string Utf8(const std::wstring& text)
{
    return vcard::WideToUtf8(text);
}

bool HasCategory(const vcard::CardContact& card, const std::wstring& wanted)
{
    for (const auto& name : card.categories)
        if (lstrcmpiW(vcard::Utf8ToWide(name).c_str(), wanted.c_str()) == 0)
            return true;
    return false;
}

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

    IPOutlookApp* App() const { return app; }

private:
    // The device store is shared with every program but one that keeps it
    // to itself.
    static std::string Refusal()
    {
        return "vtcontacts: another program keeps the device store to itself; close it and try again.\n";
    }

    IPOutlookApp* app = nullptr;
    IFolder* folder = nullptr;
    bool registered = false;
    bool comStarted = false;
};

std::string Where(const exchange::CardNote& note)
{
    return note.file + ":" + std::to_string(note.line) + ": ";
}

int Import(const std::wstring& path, bool onlyIntoNewStore, ToolOutput& output)
{
    if (onlyIntoNewStore && GetFileAttributesW(vcard::Utf8ToWide(cedb::ObjectStorePath()).c_str()) !=
                                INVALID_FILE_ATTRIBUTES) {
        output.out += "The device store exists already; nothing imported.\n";
        return 0;
    }
    std::vector<exchange::CardFile> files = exchange::ReadCardFiles({path});
    if (files[0].fault == exchange::FileFault::kUnreadable) {
        output.err += "vtcontacts: cannot read " + Utf8(path) + "\n";
        return 1;
    }
    if (files[0].fault == exchange::FileFault::kNoCard) {
        output.err += "vtcontacts: " + Utf8(path) + " holds no vCard; nothing imported\n";
        return 1;
    }
    Store store;
    if (!store.Open(output))
        return 1;
    const exchange::ImportOutcome outcome = exchange::StoreCardFiles(store.App(), files, nullptr);
    for (const auto& note : outcome.categoriesLeftOut)
        output.err += Where(note) + "category \"" + note.reason + "\" left out: " + exchange::kCategoryRule + "\n";
    for (const auto& note : outcome.notKept)
        output.err += Where(note) + note.name + " was not kept: " +
                      Utf8(StoreFailureReason(outcome.storeError, L"import the file again")) + "\n";
    for (const auto& note : outcome.skipped)
        output.err += Where(note) + note.reason + "; card skipped\n";
    if (!outcome.unkeptProperties.empty()) {
        std::string names;
        for (const auto& property : outcome.unkeptProperties)
            names += (names.empty() ? "" : ", ") + property;
        output.err += Utf8(path) + ": no place on the device for " + names + "\n";
    }
    output.out += "Imported " + std::to_string(outcome.imported) + ", updated " + std::to_string(outcome.updated) +
                  ", skipped " + std::to_string(outcome.Skipped()) + ".\n";
    return outcome.notKept.empty() ? 0 : 1;
}

int Export(const std::wstring& category, const std::wstring& path, ToolOutput& output)
{
    Store store;
    if (!store.Open(output))
        return 1;
    int count = 0;
    const std::string cards = exchange::ContactCards(
        [&](const poom::ContactData&, const vcard::CardContact& card) {
            return category.empty() || HasCategory(card, category);
        },
        &count);
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
    // The export's pass, writing a line where the export writes a card.
    exchange::ContactCards(
        [&](const poom::ContactData& data, const vcard::CardContact& card) {
            if (!category.empty() && !HasCategory(card, category))
                return false;
            std::string categories;
            for (const auto& name : card.categories)
                categories += (categories.empty() ? "" : ", ") + name;
            output.out += std::to_string(data.oid) + "\t" + card.text[vcard::kFileAs] + "\t" +
                          card.text[vcard::kCompany] + "\t" + categories + "\n";
            return false;
        },
        nullptr);
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
        output.err += std::string("vtcontacts: ") + exchange::kCategoryRule + "\n";
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
