// The HTML report: the chosen contacts with their activities as tables,
// written to "ql_export.html" in the documents folder.
#pragma once
