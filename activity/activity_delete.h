// Deleting the activity list's marked activity, with its reminder.
#pragma once

// Asks first; then clears the reminder, deletes the record, moves the
// contact's last-activity mark and refreshes both lists.
void DeleteMarkedActivity();
