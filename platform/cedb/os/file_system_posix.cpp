// POSIX files: pread/pwrite, fdatasync, flock for ownership (exclusive, or
// shared among the processes that open a volume together) and open file
// description locks for the locks beside a shared volume.
#include "platform/cedb/core/file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <libgen.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cedb {
namespace {

Status FromErrno(int err, const std::string& what)
{
    uint32_t code = kErrIoDevice;
    switch (err) {
    case ENOENT: code = kErrFileNotFound; break;
    case EACCES: case EPERM: case EROFS: code = kErrAccessDenied; break;
    case ENOMEM: code = kErrNotEnoughMemory; break;
    case ENOSPC: case EDQUOT: code = kErrDiskFull; break;
    case EEXIST: code = kErrFileExists; break;
    case EWOULDBLOCK: code = kErrSharingViolation; break;
    case EINVAL: case ENAMETOOLONG: case EISDIR: code = kErrInvalidParameter; break;
    default: break;
    }
    return Status::Error(code, what + ": " + std::strerror(err));
}

class PosixFile : public File {
public:
    PosixFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixFile() override { ::close(fd_); }

    Status Read(uint64_t offset, void* buf, size_t n, size_t* got) override
    {
        size_t done = 0;
        while (done < n) {
            ssize_t r = ::pread(fd_, static_cast<char*>(buf) + done, n - done, static_cast<off_t>(offset + done));
            if (r < 0) {
                if (errno == EINTR) continue;
                return FromErrno(errno, "read " + path_);
            }
            if (r == 0) break;
            done += static_cast<size_t>(r);
        }
        *got = done;
        return Status::Ok();
    }

    Status Write(uint64_t offset, const void* data, size_t n) override
    {
        size_t done = 0;
        while (done < n) {
            ssize_t r = ::pwrite(fd_, static_cast<const char*>(data) + done, n - done, static_cast<off_t>(offset + done));
            if (r < 0) {
                if (errno == EINTR) continue;
                return FromErrno(errno, "write " + path_);
            }
            done += static_cast<size_t>(r);
        }
        return Status::Ok();
    }

    Status Sync() override
    {
        if (::fdatasync(fd_) != 0) return FromErrno(errno, "sync " + path_);
        return Status::Ok();
    }

    Status Truncate(uint64_t size) override
    {
        if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return FromErrno(errno, "truncate " + path_);
        return Status::Ok();
    }

    Status Size(uint64_t* size) override
    {
        struct stat st;
        if (::fstat(fd_, &st) != 0) return FromErrno(errno, "stat " + path_);
        *size = static_cast<uint64_t>(st.st_size);
        return Status::Ok();
    }

private:
    int fd_;
    std::string path_;
};

// Open file description locks belong to the open file, not to the process,
// so two mounts in one process exclude each other as two processes do.
class PosixLock : public FileLock {
public:
    explicit PosixLock(int fd) : fd_(fd) {}
    ~PosixLock() override { ::close(fd_); }

    Status Lock(uint32_t slot, bool exclusive, bool wait) override
    {
        struct flock fl = {};
        fl.l_type = exclusive ? F_WRLCK : F_RDLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = static_cast<off_t>(slot);
        fl.l_len = 1;
        while (::fcntl(fd_, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) != 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EACCES) return Status::Error(kErrLockViolation, "volume is busy");
            return FromErrno(errno, "lock");
        }
        return Status::Ok();
    }

    void Unlock(uint32_t slot) override
    {
        struct flock fl = {};
        fl.l_type = F_UNLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = static_cast<off_t>(slot);
        fl.l_len = 1;
        ::fcntl(fd_, F_OFD_SETLK, &fl);
    }

private:
    int fd_;
};

Status SyncParentDir(const std::string& path)
{
    std::string copy = path;
    std::string dir = ::dirname(&copy[0]);
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return FromErrno(errno, "open " + dir);
    int rc = ::fsync(fd);
    int err = errno;
    ::close(fd);
    if (rc != 0) return FromErrno(err, "sync " + dir);
    return Status::Ok();
}

class PosixFileSystem : public FileSystem {
public:
    Status Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override
    {
        int flags = O_CLOEXEC;
        if (mode == OpenMode::kReadOnly) flags |= O_RDONLY;
        else flags |= O_RDWR;
        if (mode == OpenMode::kCreateNew) flags |= O_CREAT | O_EXCL;
        int fd = ::open(path.c_str(), flags, 0644);
        if (fd < 0) return FromErrno(errno, "open " + path);
        const int ownership = mode == OpenMode::kShared ? LOCK_SH : LOCK_EX;
        if (mode != OpenMode::kReadOnly && ::flock(fd, ownership | LOCK_NB) != 0) {
            int err = errno;
            ::close(fd);
            if (err == EWOULDBLOCK) return Status::Error(kErrSharingViolation, path + " is in use by another process");
            return FromErrno(err, "lock " + path);
        }
        if (mode == OpenMode::kCreateNew) {
            Status s = SyncParentDir(path);
            if (!s.ok()) {
                ::close(fd);
                return s;
            }
        }
        out->reset(new PosixFile(fd, path));
        return Status::Ok();
    }

    Status OpenLock(const std::string& path, std::unique_ptr<FileLock>* out) override
    {
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) return FromErrno(errno, "open " + path);
        out->reset(new PosixLock(fd));
        return Status::Ok();
    }

    Status Rename(const std::string& from, const std::string& to) override
    {
        if (::rename(from.c_str(), to.c_str()) != 0) return FromErrno(errno, "rename " + from);
        return SyncParentDir(to);
    }

    Status Remove(const std::string& path) override
    {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) return FromErrno(errno, "remove " + path);
        return Status::Ok();
    }

    bool Exists(const std::string& path) override
    {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0;
    }
};

}  // namespace

FileSystem* FileSystem::Default()
{
    static PosixFileSystem fs;
    return &fs;
}

}  // namespace cedb
