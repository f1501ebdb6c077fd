// The service's calls over the device's notification file.
#include "platform/notify/notify.h"
#include "platform/notify/notify_faults.h"
#include "platform/notify/notify_host.h"
#include "platform/notify/notify_store.h"

#include <atomic>
#include <cstring>

using namespace cenotify;

namespace {

std::atomic<int> handlesCallsBeforeFault{-1};

// True when this call is the one a test asked to fail.
bool HandlesCallFails()
{
    int left = handlesCallsBeforeFault.load();
    while (left >= 0) {
        if (handlesCallsBeforeFault.compare_exchange_weak(left, left - 1))
            return left == 0;
    }
    return false;
}

StoredText CaptureText(const WCHAR* text)
{
    StoredText stored;
    stored.present = text != nullptr;
    if (text)
        stored.value.assign(text, wcsnlen(text, 32767));
    return stored;
}

bool ValidTime(const SYSTEMTIME& time)
{
    FILETIME file;
    return SystemTimeToFileTime(&time, &file) != 0;
}

HANDLE ToHandle(DWORD value)
{
    return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value));
}

DWORD FromHandle(HANDLE handle)
{
    const ULONG_PTR value = reinterpret_cast<ULONG_PTR>(handle);
    return value > 0xFFFFFFFFu ? 0 : static_cast<DWORD>(value);
}

size_t TextBytes(const StoredText& text)
{
    return text.present ? (text.value.size() + 1) * sizeof(WCHAR) : 0;
}

size_t Align(size_t size)
{
    return (size + alignof(void*) - 1) & ~(alignof(void*) - 1);
}

} // namespace

HANDLE CeSetUserNotificationEx(HANDLE notification, CE_NOTIFICATION_TRIGGER* trigger, CE_USER_NOTIFICATION* user)
{
    if (!trigger || trigger->dwSize != sizeof(CE_NOTIFICATION_TRIGGER)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Only timed triggers are kept; system events and application launches
    // have nothing to stand for them on a desktop.
    if (trigger->dwType != CNT_TIME && trigger->dwType != CNT_PERIOD) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    if (!ValidTime(trigger->stStartTime) || (trigger->dwType == CNT_PERIOD && !ValidTime(trigger->stEndTime))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }

    StoredNotification item;
    item.type = trigger->dwType;
    item.event = trigger->dwEvent;
    item.application = CaptureText(trigger->lpszApplication);
    item.arguments = CaptureText(trigger->lpszArguments);
    item.start = trigger->stStartTime;
    item.end = trigger->stEndTime;
    if (user) {
        item.hasUser = true;
        item.actionFlags = user->ActionFlags;
        item.title = CaptureText(user->pwszDialogTitle);
        item.text = CaptureText(user->pwszDialogText);
        item.sound = CaptureText(user->pwszSound);
        item.maxSound = user->nMaxSound;
        item.reserved = user->dwReserved;
    }

    const DWORD replacing = FromHandle(notification);
    DWORD result = 0;
    DWORD error = ERROR_SUCCESS;
    const bool written = UpdateStore([&](StoreContents& store) {
        if (replacing) {
            for (StoredNotification& existing : store.items) {
                if (existing.handle == replacing) {
                    item.handle = replacing;
                    existing = item;
                    result = replacing;
                    return true;
                }
            }
            error = ERROR_INVALID_HANDLE;
            return false;
        }
        item.handle = store.nextHandle++;
        if (store.nextHandle == 0)
            store.nextHandle = 1;
        store.items.push_back(item);
        result = item.handle;
        return true;
    });
    if (!written && error == ERROR_SUCCESS)
        error = ERROR_WRITE_FAULT;
    if (!written || !result) {
        SetLastError(error);
        return nullptr;
    }
    NotificationStoreChanged();
    return ToHandle(result);
}

BOOL CeGetUserNotificationHandles(HANDLE* handles, DWORD capacity, LPDWORD needed)
{
    if (!needed) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    StoreContents store;
    if (HandlesCallFails() || !ReadStore(&store)) {
        SetLastError(ERROR_READ_FAULT);
        return FALSE;
    }
    const DWORD count = static_cast<DWORD>(store.items.size());
    *needed = count;
    if (!handles && capacity == 0)
        return TRUE;
    if (!handles || capacity < count) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    for (DWORD i = 0; i < count; ++i)
        handles[i] = ToHandle(store.items[i].handle);
    return TRUE;
}

BOOL CeGetUserNotification(HANDLE notification, DWORD bufferSize, LPDWORD bytesNeeded, LPBYTE buffer)
{
    if (!bytesNeeded) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *bytesNeeded = 0;
    StoreContents store;
    if (!ReadStore(&store)) {
        SetLastError(ERROR_READ_FAULT);
        return FALSE;
    }
    const DWORD wanted = FromHandle(notification);
    const StoredNotification* item = nullptr;
    for (const StoredNotification& candidate : store.items)
        if (wanted && candidate.handle == wanted)
            item = &candidate;
    if (!item) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }

    const size_t triggerAt = Align(sizeof(CE_NOTIFICATION_INFO_HEADER));
    const size_t userAt = Align(triggerAt + sizeof(CE_NOTIFICATION_TRIGGER));
    size_t textAt = Align(userAt + (item->hasUser ? sizeof(CE_USER_NOTIFICATION) : 0));
    const StoredText* texts[] = {&item->application, &item->arguments, &item->title, &item->text, &item->sound};
    size_t total = textAt;
    for (const StoredText* text : texts)
        total += TextBytes(*text);
    *bytesNeeded = static_cast<DWORD>(total);
    if (!buffer || bufferSize < total) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }

    memset(buffer, 0, total);
    WCHAR* placed[5] = {};
    for (int i = 0; i < 5; ++i) {
        if (!texts[i]->present)
            continue;
        placed[i] = reinterpret_cast<WCHAR*>(buffer + textAt);
        memcpy(placed[i], texts[i]->value.c_str(), TextBytes(*texts[i]));
        textAt += TextBytes(*texts[i]);
    }

    auto* header = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER*>(buffer);
    auto* trigger = reinterpret_cast<CE_NOTIFICATION_TRIGGER*>(buffer + triggerAt);
    header->hNotification = ToHandle(item->handle);
    header->dwStatus = item->shownBy ? CNS_SIGNALLED : 0;
    header->pcent = trigger;
    trigger->dwSize = sizeof(CE_NOTIFICATION_TRIGGER);
    trigger->dwType = item->type;
    trigger->dwEvent = item->event;
    trigger->lpszApplication = placed[0];
    trigger->lpszArguments = placed[1];
    trigger->stStartTime = item->start;
    trigger->stEndTime = item->end;
    if (item->hasUser) {
        auto* user = reinterpret_cast<CE_USER_NOTIFICATION*>(buffer + userAt);
        header->pceun = user;
        user->ActionFlags = item->actionFlags;
        user->pwszDialogTitle = placed[2];
        user->pwszDialogText = placed[3];
        user->pwszSound = placed[4];
        user->nMaxSound = item->maxSound;
        user->dwReserved = item->reserved;
    }
    return TRUE;
}

void cenotify::FailHandlesCall(int succeeding)
{
    handlesCallsBeforeFault.store(succeeding < 0 ? -1 : succeeding);
}

BOOL CeClearUserNotification(HANDLE notification)
{
    const DWORD wanted = FromHandle(notification);
    bool found = false;
    const bool written = UpdateStore([&](StoreContents& store) {
        for (size_t i = 0; i < store.items.size(); ++i) {
            if (wanted && store.items[i].handle == wanted) {
                store.items.erase(store.items.begin() + static_cast<std::ptrdiff_t>(i));
                found = true;
                return true;
            }
        }
        return false;
    });
    if (!found) {
        SetLastError(written ? ERROR_INVALID_HANDLE : ERROR_WRITE_FAULT);
        return FALSE;
    }
    if (!written) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    NotificationStoreChanged();
    return TRUE;
}
