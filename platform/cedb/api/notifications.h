// Change notifications: each engine change to a mounted volume is posted to
// the windows of the handles that asked to hear of it.
#pragma once
#include <cstdint>

#include "platform/cedb/api/volume_registry.h"

namespace cedb {
namespace api {

// The volume's engine observer: counts the change and posts it.
void DeliverNotification(VolumeSlot* slot, Change ch, uint32_t db, uint32_t oid);
// A mount or unmount changes what readers see, like any record change.
void NoteVolumeChange();

}  // namespace api
}  // namespace cedb
