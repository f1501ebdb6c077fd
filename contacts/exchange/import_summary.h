// What an import tells the user at its end, in one short text for the
// program's message box: the counts first, then why cards were skipped
// (the first few by name), which files gave nothing, which categories were
// left out and what a failing store lost.
#pragma once
#include <string>

#include "contacts/exchange/card_import.h"

namespace exchange {

// "Imported 12 new contacts, updated 3, skipped 2." and the reasons.
std::wstring ImportSummaryText(const ImportOutcome& outcome);

// Whether the summary reports something the user must look at.
bool ImportHadTrouble(const ImportOutcome& outcome);

}  // namespace exchange
