#include "tools/render/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tools/render/interrupt.h"

extern char** environ;

namespace render {

std::string FindProgram(const std::string& name) {
    if (name.empty()) return "";
    if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : "";
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t colon = dirs.find(':', start);
        if (colon == std::string::npos) colon = dirs.size();
        // An empty entry means the current folder.
        const std::filesystem::path dir =
            colon == start ? std::filesystem::path(".")
                           : std::filesystem::path(dirs.substr(start, colon - start));
        const std::string candidate = (dir / name).string();
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = colon + 1;
    }
    return "";
}

ChildProcess::~ChildProcess() {
    Kill();
}

bool ChildProcess::Start(const std::vector<std::string>& argv, bool feed, std::string* error) {
    Kill();
    if (argv.empty()) return false;
    auto fail = [&](int code) {
        if (error) *error = "cannot start " + argv.front() + ": " + std::strerror(code);
        return false;
    };
    int pipeEnds[2] = {-1, -1};
    if (feed && pipe2(pipeEnds, O_CLOEXEC) != 0) return fail(errno);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (feed) {
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int result =
        posix_spawn(&pid, argv.front().c_str(), &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (feed) close(pipeEnds[0]);
    if (result != 0) {
        if (feed) close(pipeEnds[1]);
        return fail(result);
    }
    pid_ = pid;
    if (feed) {
        input_ = pipeEnds[1];
        // A larger pipe lets the encoder take whole frames at a time (a hint; may be refused).
        fcntl(input_, F_SETPIPE_SZ, 1 << 20);
    }
    return true;
}

bool ChildProcess::Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        if (input_ < 0 || InterruptSignal() != 0) return false;
        const ssize_t written = write(input_, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

void ChildProcess::CloseInput() {
    if (input_ >= 0) close(input_);
    input_ = -1;
}

bool ChildProcess::Finish() {
    CloseInput();
    if (pid_ <= 0) return false;
    int status = 0;
    bool stopped = false;
    for (;;) {
        if (!stopped && InterruptSignal() != 0) {
            kill(pid_, SIGTERM);
            stopped = true;
        }
        if (waitpid(pid_, &status, 0) == pid_) break;
        if (errno != EINTR) {
            status = -1;
            break;
        }
    }
    pid_ = -1;
    return !stopped && status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void ChildProcess::Kill() {
    CloseInput();
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

}  // namespace render
