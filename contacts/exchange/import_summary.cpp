#include "contacts/exchange/import_summary.h"

#include <algorithm>
#include <functional>

#include "contacts/vcard/text_encoding.h"
#include "store/store_error.h"

namespace exchange {

namespace {

// The program's message box shows at most 199 characters.
constexpr size_t kSummaryChars = 199;
// At most this many cards or names are named in a line; fewer when the
// text would not fit otherwise.
constexpr size_t kMostNamed = 3;

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
    return L"line " + std::to_wstring(note.line);
}

// The first `named` items as `item` writes them, then how many more.
std::wstring List(size_t count, size_t named, const std::function<std::wstring(size_t)>& item,
                  const wchar_t* separator)
{
    std::wstring text;
    for (size_t i = 0; i < count && i < named; ++i)
        text += (i ? separator : L"") + item(i);
    if (count > named)
        text += std::wstring(separator) + L"and " + std::to_wstring(count - named) + L" more";
    return text;
}

// Adds the line with as many names as fit in the box, down to none (the
// line then gives a count); leaves it out when not even that fits.
void AppendFitting(std::wstring& text, size_t names, const std::function<std::wstring(size_t)>& line)
{
    for (size_t named = std::min(names, kMostNamed);; --named) {
        const std::wstring candidate = L"\n" + line(named);
        if (text.size() + candidate.size() <= kSummaryChars) {
            text += candidate;
            return;
        }
        if (named == 0)
            return;
    }
}

}  // namespace

std::wstring ImportSummaryText(const ImportOutcome& outcome)
{
    std::wstring text = L"Imported " + std::to_wstring(outcome.imported) +
                        (outcome.imported == 1 ? L" new contact" : L" new contacts") + L", updated " +
                        std::to_wstring(outcome.updated) + L", skipped " + std::to_wstring(outcome.Skipped()) + L".";
    // What was lost first, then what was skipped and why, then what of the
    // kept cards was left out.
    const auto& notKept = outcome.notKept;
    if (!notKept.empty())
        AppendFitting(text, notKept.size(), [&](size_t named) {
            const std::wstring which =
                named ? List(notKept.size(), named, [&](size_t i) { return CardLabel(notKept[i]); }, L"; ")
                      : std::to_wstring(notKept.size()) + L" cards";
            return L"Not kept (" + which + L"): " + StoreFailureReason(outcome.storeError, L"import again");
        });
    const auto& skipped = outcome.skipped;
    if (!skipped.empty())
        AppendFitting(text, skipped.size(), [&](size_t named) {
            if (named == 0)
                return std::wstring(L"Skipped cards were broken or named nobody.");
            return L"Skipped: " +
                   List(skipped.size(), named,
                        [&](size_t i) { return CardLabel(skipped[i]) + L" (" + Wide(skipped[i].reason) + L")"; },
                        L"; ") +
                   L".";
        });
    for (const CardFile* file : outcome.faultyFiles)
        AppendFitting(text, 0, [&](size_t) {
            return FileName(file->name) +
                   (file->fault == FileFault::kUnreadable ? L" cannot be read." : L" holds no vCard.");
        });
    const auto& categories = outcome.categoriesLeftOut;
    if (!categories.empty())
        AppendFitting(text, categories.size(), [&](size_t named) {
            if (named == 0)
                return std::to_wstring(categories.size()) + (categories.size() == 1 ? L" category" : L" categories") +
                       L" left out (over 29 characters, or a comma).";
            return L"Categories left out (over 29 characters, or a comma): " +
                   List(categories.size(), named, [&](size_t i) { return L"\"" + Wide(categories[i].reason) + L"\""; },
                        L", ") +
                   L".";
        });
    const auto& unkept = outcome.unkeptProperties;
    if (!unkept.empty())
        AppendFitting(text, unkept.size(), [&](size_t named) {
            if (named == 0)
                return std::wstring(L"Some properties had no place on the device.");
            return L"No place on the device for " +
                   List(unkept.size(), named, [&](size_t i) { return Wide(unkept[i]); }, L", ") + L".";
        });
    return text;
}

bool ImportHadTrouble(const ImportOutcome& outcome)
{
    return !outcome.notKept.empty() || !outcome.faultyFiles.empty() || !outcome.skipped.empty();
}

}  // namespace exchange
