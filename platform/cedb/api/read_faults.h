// On the device a record can sit in a flash block that no longer reads while
// its neighbours do. The stand-in keeps every record in memory, so tests name
// the record whose reads are to fail that way.
#pragma once
#include "platform/cedb/windbase.h"

// Every later read of `oid` fails with ERROR_FILE_CORRUPT; 0 ends the fault.
extern "C" void CedbFailReadsOf(CEOID oid);
