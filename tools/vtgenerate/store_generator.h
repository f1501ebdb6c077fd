// Generated contacts and activities for benchmarks and demonstrations: the
// device's contacts go into its object store, the activities into the
// program's volume file, written in bulk and flushed once.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/cedb/windbase.h"

struct GeneratedStore {
    std::vector<CEOID> contacts;   // in the order they were made
    CEOID busyContact = 0;         // the contact that got busyActivities
    int activities = 0;
};

// Adds `contacts` contacts (none: spread the activities over the contacts the
// store holds) and `activities` activities, `busyActivities` of them for the
// first contact. Their dates run over 3,000 days from 2015, or, with a
// history end (an OLE date), up to that day. The volume file is created when
// missing. False on failure.
bool GenerateStore(const std::wstring& volumePath, int contacts, int activities, int busyActivities,
                   GeneratedStore* result, double historyEnd = 0);
