// Whole files read from paths that callers and users supply. Only regular files are opened: a
// FIFO, device, socket or directory placed where a picture or a wave was expected must neither
// stall the program nor feed it endless bytes. The size is checked against the caller's limit
// before anything is allocated or read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class FileReadError {
    None,
    Missing,         // nothing at that path
    NotRegularFile,  // a directory, FIFO, device or socket
    Unreadable,      // no permission, an I/O error, or the file shrank while it was read
    TooLarge,        // more bytes than the caller's limit
};

const char* FileReadErrorText(FileReadError error);

// Reads the regular file at `path`, of at most maxBytes bytes, into *out (left empty on failure).
FileReadError ReadRegularFile(const std::string& path, std::uint64_t maxBytes,
                              std::vector<std::uint8_t>* out);

}  // namespace platform
