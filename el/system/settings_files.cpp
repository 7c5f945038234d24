#include "el/system/settings_files.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>

#include "platform/executable_path.h"
#include "platform/system_info.h"

namespace elSystem {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool IsSingleName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

std::string CurrentProgramName() {
    if (ProgramName[0] != '\0') return ProgramName.data();
    const std::string executable = platform::ExecutablePath();
    const std::string name = executable.substr(executable.rfind('/') + 1);
    return IsSingleName(name) ? name : std::string();
}

// The path of a settings file, or empty when there is no settings folder to put it in.
std::string SettingsPath(const char* name) {
    if (name == nullptr || name[0] == '\0') return {};
    const std::string folder = SettingsFolder();
    if (folder.empty()) return {};
    return folder + name;
}

}  // namespace

void SetProgramName(const char* name) {
    if (name == nullptr) return;
    const std::string_view text(name);
    if (!IsSingleName(text) || text.size() >= ProgramName.size()) return;
    ProgramName.fill('\0');
    std::memcpy(ProgramName.data(), text.data(), text.size());
}

std::string ConfigurationDirectory() {
    const std::string folder = platform::UserConfigFolder();
    const std::string name = CurrentProgramName();
    if (folder.empty() || name.empty()) return {};
    return folder + "/" + name + "/";
}

std::string SettingsFolder() {
    if (DataRoot[0] == '\0') {
        const std::string folder = ConfigurationDirectory();
        return folder.size() < PathBuffer.size() ? folder : std::string();
    }
    const std::string program = ProgramFolder();
    // The component before the trailing '/': the search starts at the second-to-last character.
    if (program.size() >= 2) {
        const std::size_t slash = program.rfind('/', program.size() - 2);
        if (slash != std::string::npos) {
            const std::string last = program.substr(slash + 1);
            LastDirectoryName.fill('\0');
            std::memcpy(LastDirectoryName.data(), last.data(), last.size());
        }
    }
    std::string folder = DataRoot.data();
    if (folder.back() != '/') folder += '/';
    folder += LastDirectoryName.data();
    return folder.size() < PathBuffer.size() ? folder : std::string();
}

const char* SettingsDirectory() {
    const std::string folder = SettingsFolder();
    PathBuffer.fill('\0');
    std::memcpy(PathBuffer.data(), folder.data(), folder.size());
    return PathBuffer.data();
}

void ReadDataRoot(const char* fileName) {
    DataRoot.fill('\0');
    if (fileName == nullptr || fileName[0] == '\0') return;
    const std::string folder = ConfigurationDirectory();
    if (folder.empty()) return;
    const File file(std::fopen((folder + fileName).c_str(), "r"));
    if (!file) return;
    std::string line;
    for (int c = std::fgetc(file.get()); c != EOF && c != '\n'; c = std::fgetc(file.get())) {
        line += static_cast<char>(c);
        if (line.size() >= kDataRootSize) return;  // a cut path would name some other folder
    }
    // Also a Windows line end, for a file written there.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // One trailing separator goes; the root of the file system keeps its own.
    if (line.size() > 1 && line.back() == '/') line.pop_back();
    std::memcpy(DataRoot.data(), line.data(), line.size());
}

void WriteIntFile(const char* name, std::int32_t value) {
    const std::string path = SettingsPath(name);
    if (path.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    // Written beside it and renamed over it, so that a full disk or a crash part-way leaves the
    // previous value rather than an empty or cut file.
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (file == nullptr) return;
    const bool written = std::fprintf(file, "%d", static_cast<int>(value)) > 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
    }
}

std::int32_t ReadIntFile(const char* name) {
    const std::string path = SettingsPath(name);
    if (path.empty()) return 0;
    const File file(std::fopen(path.c_str(), "r"));
    if (!file) return 0;
    // Enough for any 32-bit number with leading blanks; parsed here, since "%d" of a number
    // that does not fit is undefined.
    char text[64] = {};
    const std::size_t length = std::fread(text, 1, sizeof text - 1, file.get());
    const char* first = text;
    const char* const end = text + length;
    while (first < end && std::isspace(static_cast<unsigned char>(*first))) ++first;
    if (first < end && *first == '+' && first + 1 < end && first[1] != '-') ++first;
    std::int32_t value = 0;
    const auto [stop, error] = std::from_chars(first, end, value);
    return error == std::errc() && stop != first ? value : 0;
}

}  // namespace elSystem
