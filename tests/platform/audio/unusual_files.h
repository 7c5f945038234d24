// Files that are not plain files, for the loaders' tests: FIFOs that would stall a reader that
// opens them, and sparse files that claim gigabytes without using the disk.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace wavetest {

// A FIFO at `path`, removed again at the end. A reader that opens it stalls until a writer
// comes; so that a loader that does so fails its test instead of hanging it, a watchdog opens
// the write end every few seconds while the FIFO exists.
class Fifo {
  public:
    explicit Fifo(std::string path) : path_(std::move(path)) {
        unlink(path_.c_str());
        made_ = mkfifo(path_.c_str(), 0600) == 0;
        watchdog_ = std::thread([this] { Watch(); });
    }
    ~Fifo() {
        done_ = true;
        watchdog_.join();
        unlink(path_.c_str());
    }
    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;
    bool made() const { return made_; }

  private:
    void Watch() {
        using namespace std::chrono;
        auto last = steady_clock::now();
        while (!done_) {
            std::this_thread::sleep_for(milliseconds(20));
            if (steady_clock::now() - last < seconds(3)) continue;
            // Succeeds only when a reader is waiting in open; closing it gives that reader EOF.
            const int fd = open(path_.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) close(fd);
            last = steady_clock::now();
        }
    }

    std::string path_;
    bool made_ = false;
    std::atomic<bool> done_ = false;
    std::thread watchdog_;
};

// Writes `head` at the start of `path` and sets its length to `size`: the rest is a hole.
inline bool MakeSparseFile(const std::string& path, const std::vector<std::uint8_t>& head,
                           std::uint64_t size) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return false;
    const bool ok = write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size()) &&
                    ftruncate(fd, static_cast<off_t>(size)) == 0;
    close(fd);
    return ok;
}

// Seconds taken by f().
template <typename F>
double SecondsFor(F f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace wavetest
