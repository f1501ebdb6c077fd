// The system wait cursor around refills, sorts and bulk changes.
#pragma once

void SetWaitCursor(bool on);
