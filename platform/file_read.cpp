#include "platform/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace platform {
namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

FileReadError FromErrno(int error) {
    return error == ENOENT || error == ENOTDIR ? FileReadError::Missing : FileReadError::Unreadable;
}

// What the status of a path or an open file allows; its size in *size.
FileReadError Check(const struct stat& info, std::uint64_t maxBytes, std::uint64_t* size) {
    if (!S_ISREG(info.st_mode)) return FileReadError::NotRegularFile;
    if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        return FileReadError::TooLarge;
    }
    *size = static_cast<std::uint64_t>(info.st_size);
    return FileReadError::None;
}

FileReadError Read(const std::string& path, std::uint64_t maxBytes,
                   std::vector<std::uint8_t>* out) {
    // Looked at before opening: opening a FIFO for reading waits for a writer, and opening a
    // device can have effects of its own.
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return FromErrno(errno);
    std::uint64_t size = 0;
    if (const FileReadError error = Check(info, maxBytes, &size); error != FileReadError::None) {
        return error;
    }
    // Something else may take the name between the look and the open; without blocking, a FIFO
    // that did so cannot hold the open, and the second look below refuses it.
    const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) return FromErrno(errno);
    if (fstat(file.get(), &info) != 0) return FileReadError::Unreadable;
    if (const FileReadError error = Check(info, maxBytes, &size); error != FileReadError::None) {
        return error;
    }
    const int flags = fcntl(file.get(), F_GETFL);
    if (flags < 0 || fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return FileReadError::Unreadable;
    }
    try {
        out->resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return FileReadError::TooLarge;
    }
    std::size_t done = 0;
    while (done < out->size()) {
        const ssize_t got = read(file.get(), out->data() + done, out->size() - done);
        if (got < 0 && errno == EINTR) continue;
        // A file cut short while it was read is as good as unreadable; what was added is left.
        if (got <= 0) return FileReadError::Unreadable;
        done += static_cast<std::size_t>(got);
    }
    return FileReadError::None;
}

}  // namespace

const char* FileReadErrorText(FileReadError error) {
    switch (error) {
        case FileReadError::None:
            return "no error";
        case FileReadError::Missing:
            return "no such file";
        case FileReadError::NotRegularFile:
            return "not a regular file";
        case FileReadError::Unreadable:
            return "the file cannot be read";
        case FileReadError::TooLarge:
            return "the file is too large";
    }
    return "unknown error";
}

FileReadError ReadRegularFile(const std::string& path, std::uint64_t maxBytes,
                              std::vector<std::uint8_t>* out) {
    out->clear();
    const FileReadError error = Read(path, maxBytes, out);
    if (error != FileReadError::None) *out = {};
    return error;
}

}  // namespace platform
