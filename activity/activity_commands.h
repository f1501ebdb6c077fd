// What the main window and the activity list ask of activity editing.
#pragma once
#include "activity/activity_dialog.h"
#include "activity/reminders.h"
