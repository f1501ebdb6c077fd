// Changes to the device's object store are made durable one by one, as on
// the device. A tool that makes many at once (an import, a generator)
// brackets them instead: they are flushed once, at the end of the bracket.
// A failed write or flush inside it drops every change since the bracket
// opened, which the end's result then reports.
#pragma once
#include "platform/cedb/windbase.h"

void CedbBeginObjectStoreBulk();
// FALSE, with the flush's last error, when the changes were not kept.
BOOL CedbEndObjectStoreBulk();
