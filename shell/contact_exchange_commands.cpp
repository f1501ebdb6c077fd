#include "shell/contact_exchange_commands.h"

#include <cderr.h>
#include <commdlg.h>

#include <cstdlib>
#include <set>

#include "base/app_handles.h"
#include "base/message_box.h"
#include "base/progress_window.h"
#include "contacts/contact_source.h"
#include "contacts/exchange/card_export.h"
#include "contacts/exchange/card_import.h"
#include "contacts/exchange/import_summary.h"
#include "export/export_file.h"
#include "export/export_run.h"
#include "views/list_views.h"

namespace {

// Files that large are chosen rarely; the buffer holds a few hundred names.
constexpr DWORD kChosenChars = 32768;
// An operation shorter than this shows no progress window.
constexpr DWORD kProgressDelayMs = 300;

const wchar_t kCardFilter[] = L"vCard Files (*.vcf)\0*.vcf;*.vcard\0All Files (*.*)\0*.*\0";

// Shows the progress window once the work has taken more than a moment.
class LateProgress {
public:
    LateProgress(HWND owner, const wchar_t* mainLabel) : owner(owner), label(mainLabel), start(GetTickCount()) {}
    ~LateProgress() { DestroyProgressWindow(window); }

    void Step(int done, int total)
    {
        if (!window && GetTickCount() - start >= kProgressDelayMs && done < total) {
            window = CreateProgressWindow(owner);
            SetProgressTexts(window, label, L"", 0, total);
        }
        if (window && ProgressStepDue(done, total)) {
            const std::wstring text = std::to_wstring(done) + L" of " + std::to_wstring(total);
            StepProgress(window, text.c_str(), done);
        }
    }

private:
    HWND owner;
    const wchar_t* label;
    DWORD start;
    HWND window = nullptr;
};

}  // namespace

std::vector<std::wstring> ChosenPaths(const wchar_t* buffer)
{
    std::vector<std::wstring> names;
    for (const wchar_t* p = buffer; *p; p += names.back().size() + 1)
        names.emplace_back(p);
    if (names.size() <= 1)
        return names;
    std::wstring folder = names[0];
    if (folder.back() != L'\\')
        folder += L'\\';
    std::vector<std::wstring> paths;
    for (size_t i = 1; i < names.size(); ++i)
        paths.push_back(folder + names[i]);
    return paths;
}

void ImportContactFiles(HWND owner, const std::vector<std::wstring>& paths)
{
    if (paths.empty())
        return;
    if (!outlookApp || !outlookLoggedOn) {
        AppMessageBox(owner, L"The contacts cannot be reached; nothing was imported.", L"Error", APP_MB_WARNING);
        return;
    }
    HWND focus = GetFocus();
    std::vector<exchange::CardFile> files = exchange::ReadCardFiles(paths);
    exchange::ImportOutcome outcome;
    {
        LateProgress progress(owner, L"Importing contacts...");
        outcome = exchange::StoreCardFiles(outlookApp, files,
                                           [&](int done, int total) { progress.Step(done, total); });
    }
    // One rebuild instead of one for each contact updated; it also drops
    // what a failed flush took back.
    DropQueuedContactChanges(hMainWindow);
    FillContactsList();
    const std::wstring text = exchange::ImportSummaryText(outcome);
    const bool trouble = exchange::ImportHadTrouble(outcome);
    AppMessageBox(owner, text.c_str(), trouble ? L"Import Contacts - Warning" : L"Import Contacts - Complete",
                  trouble ? APP_MB_WARNING : 0);
    SetFocus(focus);
}

void ImportContactsFromMenu(HWND owner)
{
    std::vector<wchar_t> chosen(kChosenChars, L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kCardFilter;
    dialog.lpstrFile = chosen.data();
    dialog.nMaxFile = kChosenChars;
    dialog.lpstrTitle = L"Import Contacts";
    // Where exports go and downloads usually land.
    const std::wstring documents = ExportPath(L"");
    dialog.lpstrInitialDir = documents.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
            AppMessageBox(owner, L"Too many files were chosen at once; choose fewer and import again.", L"Warning",
                          APP_MB_WARNING);
        return;
    }
    ImportContactFiles(owner, ChosenPaths(chosen.data()));
}

void ImportDroppedContacts(HWND owner, HDROP drop)
{
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, &path[0], static_cast<UINT>(path.size())));
        if (!path.empty())
            paths.push_back(path);
    }
    DragFinish(drop);
    ImportContactFiles(owner, paths);
}

void ExportContactsFromMenu(HWND owner)
{
    std::wstring chosen = ExportPath(L"Contacts.vcf");
    chosen.resize(MAX_PATH * 4, L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kCardFilter;
    dialog.lpstrFile = &chosen[0];
    dialog.nMaxFile = static_cast<DWORD>(chosen.size());
    dialog.lpstrDefExt = L"vcf";
    dialog.lpstrTitle = L"Export Contacts";
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog))
        return;
    HWND focus = GetFocus();
    // The current profile's contacts, as the contacts list shows them
    // without the find bar; under "All" that is every contact.
    CEOID* oids = nullptr;
    int count = 0;
    ListContactOids(&oids, &count, 0, SORT_BY_NAME, 1);
    const std::set<CEOID> shown(oids, oids + count);
    std::free(oids);
    ExportFile file;
    if (OpenExportFile(&file, std::wstring(chosen.c_str()))) {
        LateProgress progress(owner, L"Exporting contacts...");
        int written = 0;
        const std::string cards = exchange::ContactCards(
            [&](const poom::ContactData& data, const vcard::CardContact&) {
                if (!shown.count(data.oid))
                    return false;
                progress.Step(++written, count);
                return true;
            },
            nullptr);
        WriteExportBytes(&file, cards);
    }
    if (!ExportFileFailed(file) && CommitExportFile(&file)) {
        ReportExportDone(owner, L"vCard", file.path, 0);
    } else {
        DiscardExportFile(&file);
        ReportExportFailure(owner, file);
    }
    SetFocus(focus);
}
