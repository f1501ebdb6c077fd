// Where the device's object store (the all-zero CEGUID) lives on a desktop.
#pragma once
#include <string>

namespace cedb {

// UTF-8 path of the object store's volume file: "device.vol" in the folder
// named by VANTARO_DEVICE_DIR, else in the user's local application data
// (%LOCALAPPDATA%\Vantaro\Device; natively ~/.local/share/vantaro/device).
// Never inside the install folder.
std::string ObjectStoreFolder();
std::string ObjectStorePath();
// Creates the folder and its parents; false when that fails.
bool EnsureFolder(const std::string& folder);

}  // namespace cedb
