// The mounted volumes: the device's object store (the all-zero CEGUID) and
// the volumes the program mounted, each behind a CEGUID that names its slot
// and the mount it came from; and the handles open on them.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/cedb/core/volume.h"
#include "platform/cedb/handle_table.h"
#include "platform/cedb/windbase.h"

namespace cedb {
namespace api {

struct VolumeSlot {
    std::unique_ptr<Volume> vol;
    int refs = 0;
    std::string key;
    CEGUID guid = {0, 0, 0, 0};
    bool object_store = false;
    int listeners = 0;  // handles with a notification window
};

// An open database: a cursor and, when asked for, a notification window.
struct DbHandle : HandleObject {
    VolumeSlot* slot = nullptr;
    DWORD serial = 0;
    Cursor cursor;
    CEOID db = 0;
    bool autoincrement = false;
    HWND hwnd = nullptr;
    bool ex = false;
    HANDLE heap = nullptr;
    DWORD param = 0;

    bool Valid() const { return slot && slot->vol && slot->guid.Data3 == serial; }
    ~DbHandle() override;
};

// A database enumeration: the ids as they were when it began.
struct EnumHandle : HandleObject {
    VolumeSlot* slot = nullptr;
    DWORD serial = 0;
    std::vector<CEOID> oids;
    size_t next = 0;
};

// The slot a CEGUID names, mounting the object store on first use; null
// with the last error set when it names none.
VolumeSlot* Slot(const CEGUID* g);
CEGUID GuidOf(const VolumeSlot* slot);
// The open database behind a handle; null with ERROR_INVALID_HANDLE.
std::shared_ptr<DbHandle> Db(HANDLE h);

// CeMountDBVol and CeUnmountDBVol over the registry: a volume mounted
// already in this process is shared.
BOOL MountVolume(PCEGUID guid, const std::string& path, DWORD mode);
BOOL UnmountVolume(PCEGUID guid);

// The device's object store commits every change at once, unless a bulk
// change defers that to its end. A change whose flush failed is gone again
// (the volume went back to its file): false, with the flush's error.
bool AfterChange(VolumeSlot* slot);

}  // namespace api
}  // namespace cedb
