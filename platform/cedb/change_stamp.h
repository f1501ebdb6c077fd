// Whether anything stored changed since a reader last looked.
#pragma once

// Grows with every change to any record or database of any mounted volume in
// this process. Volumes open for writing are this process's alone, so a
// reader that saw the same stamp before has seen the same contents.
unsigned long long CedbChangeStamp();
