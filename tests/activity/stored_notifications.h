// The device's notifications as the tests look at them, read through the
// service's own calls.
#pragma once
#include "platform/notify/notify.h"

#include <string>
#include <vector>

struct StoredNotification {
    HANDLE handle;
    DWORD type, flags;
    SYSTEMTIME start;
    std::wstring title, text;
    bool hasSound;
};

inline std::vector<StoredNotification> StoredNotifications()
{
    std::vector<StoredNotification> all;
    DWORD count = 0;
    CeGetUserNotificationHandles(nullptr, 0, &count);
    std::vector<HANDLE> handles(count);
    if (count == 0 || !CeGetUserNotificationHandles(handles.data(), count, &count))
        return all;
    for (HANDLE handle : handles) {
        DWORD needed = 0;
        CeGetUserNotification(handle, 0, &needed, nullptr);
        std::vector<BYTE> buffer(needed);
        if (!needed || !CeGetUserNotification(handle, needed, &needed, buffer.data()))
            continue;
        auto* header = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER*>(buffer.data());
        StoredNotification item = {handle, header->pcent->dwType, 0, header->pcent->stStartTime, L"", L"", false};
        if (header->pceun) {
            item.flags = header->pceun->ActionFlags;
            item.title = header->pceun->pwszDialogTitle ? header->pceun->pwszDialogTitle : L"";
            item.text = header->pceun->pwszDialogText ? header->pceun->pwszDialogText : L"";
            item.hasSound = header->pceun->pwszSound != nullptr;
        }
        all.push_back(item);
    }
    return all;
}
