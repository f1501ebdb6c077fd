// Result of an engine operation. Codes are the platform's last-error numbers,
// so the API layer passes them through unchanged.
#pragma once
#include <cstdint>
#include <string>

namespace cedb {

enum ErrorCode : uint32_t {
    kOk = 0,
    kErrFileNotFound = 2,
    kErrAccessDenied = 5,
    kErrInvalidHandle = 6,
    kErrNotEnoughMemory = 8,
    kErrWriteFault = 29,
    kErrReadFault = 30,
    kErrSharingViolation = 32,
    kErrLockViolation = 33,
    kErrFileExists = 80,
    kErrInvalidParameter = 87,
    kErrDiskFull = 112,
    kErrInsufficientBuffer = 122,
    kErrAlreadyExists = 183,
    kErrNoMoreItems = 259,
    kErrIoDevice = 1117,
    kErrFileCorrupt = 1392,
};

struct Status {
    uint32_t code = kOk;
    std::string message;

    bool ok() const { return code == kOk; }
    static Status Ok() { return Status(); }
    static Status Error(uint32_t code, std::string message)
    {
        Status s;
        s.code = code;
        s.message = std::move(message);
        return s;
    }
};

}  // namespace cedb
