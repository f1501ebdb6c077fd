// The CSV file: the chosen contacts with their activities, one row per
// activity, written to "ql_export.csv" in the documents folder.
#pragma once
