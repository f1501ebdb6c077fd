// Read-only report of a volume file: its databases and, on request, the
// records of one of them.
#pragma once
#include <ostream>
#include <string>

namespace volinspect {

// Exit codes of the tool.
enum Result { kOk = 0, kUsage = 1, kUnreadable = 2, kDamaged = 3, kNoSuchDatabase = 4 };

// `records_of` empty: list databases only. Paths and names are UTF-8.
Result Inspect(const std::string& path, const std::string& records_of, std::ostream& out, std::ostream& err);

}  // namespace volinspect
