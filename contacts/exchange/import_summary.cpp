#include "contacts/exchange/import_summary.h"

#include "contacts/vcard/text_encoding.h"
#include "store/store_error.h"

namespace exchange {

namespace {

// The box shows about 200 characters: a few cards by name, then a count.
constexpr size_t kNamedCards = 2;

std::wstring Wide(const std::string& text)
{
    return vcard::Utf8ToWide(text);
}

std::wstring FileName(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return Wide(slash == std::string::npos ? path : path.substr(slash + 1));
}

std::wstring CardLabel(const CardNote& note)
{
    if (!note.name.empty())
        return Wide(note.name);
    return L"the card at line " + std::to_wstring(note.line);
}

std::wstring Named(const std::vector<CardNote>& notes, bool withReasons)
{
    std::wstring text;
    for (size_t i = 0; i < notes.size() && i < kNamedCards; ++i) {
        if (i)
            text += L"; ";
        text += CardLabel(notes[i]);
        if (withReasons)
            text += L" (" + Wide(notes[i].reason) + L")";
    }
    if (notes.size() > kNamedCards)
        text += L"; and " + std::to_wstring(notes.size() - kNamedCards) + L" more";
    return text;
}

}  // namespace

std::wstring ImportSummaryText(const ImportOutcome& outcome)
{
    std::wstring text = L"Imported " + std::to_wstring(outcome.imported) +
                        (outcome.imported == 1 ? L" new contact" : L" new contacts") + L", updated " +
                        std::to_wstring(outcome.updated) + L", skipped " + std::to_wstring(outcome.Skipped()) + L".";
    if (!outcome.notKept.empty()) {
        text += L"\nNot kept (" + Named(outcome.notKept, false) + L"): " +
                StoreFailureReason(outcome.storeError, L"import again");
    }
    if (!outcome.skipped.empty()) {
        text += L"\nSkipped: " + Named(outcome.skipped, true) + L".";
    }
    for (const CardFile* file : outcome.faultyFiles)
        text += L"\n" + FileName(file->name) +
                (file->fault == FileFault::kUnreadable ? L" cannot be read." : L" holds no vCard.");
    if (!outcome.categoriesLeftOut.empty()) {
        text += L"\nCategories left out (1 to 29 characters, no comma):";
        for (size_t i = 0; i < outcome.categoriesLeftOut.size() && i < kNamedCards; ++i)
            text += (i ? L", \"" : L" \"") + Wide(outcome.categoriesLeftOut[i].reason) + L"\"";
        if (outcome.categoriesLeftOut.size() > kNamedCards)
            text += L" and " + std::to_wstring(outcome.categoriesLeftOut.size() - kNamedCards) + L" more";
        text += L".";
    }
    if (!outcome.unkeptProperties.empty()) {
        text += L"\nNo place on the device for:";
        for (size_t i = 0; i < outcome.unkeptProperties.size(); ++i)
            text += (i ? L", " : L" ") + Wide(outcome.unkeptProperties[i]);
        text += L".";
    }
    return text;
}

bool ImportHadTrouble(const ImportOutcome& outcome)
{
    return !outcome.notKept.empty() || !outcome.faultyFiles.empty() || !outcome.skipped.empty();
}

}  // namespace exchange
