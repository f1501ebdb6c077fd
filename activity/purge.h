// Purge and orphan maintenance: deleting old activities of one contact or of
// the active profile, and removing or relinking activities whose contact has
// gone. It joins the contacts and the store, and shows the progress window.
#pragma once
#include "platform/cedb/windbase.h"

// Deletes the activities of a contact, or of every contact of the active
// profile for contact 0: all of them with threshold 0.0, else those whose
// Date falls on the threshold's day or before. The contacts' latest marks
// are recomputed afterwards.
void PurgeActivities(CEOID contact, double threshold);

// Deletes every activity whose contact the device no longer holds; returns
// how many were deleted. Without a connection to the contacts no contact can
// be found, so nothing is deleted: that is reported and -1 returned. A
// record that cannot be read is reported and kept, and the rest are still
// examined.
int RemoveOrphans();

// Gives every orphan to the first contact in FileAs order whose FileAs equals
// the one the activity keeps (letter case counts); returns how many moved.
int LinkOrphans();
