// Arbitrary bytes as the settings files: the number file and the data-root file read from a
// private configuration folder.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "el/system/settings_files.h"

namespace {
std::string base;    // the private configuration home, removed at exit
std::string folder;  // the program's configuration folder, with its '/'

void RemoveBase() {
    std::error_code error;
    std::filesystem::remove_all(base, error);
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char made[] = "/tmp/settings-fuzz-XXXXXX";
    if (mkdtemp(made) == nullptr) std::abort();
    base = made;
    std::atexit(RemoveBase);
    setenv("XDG_CONFIG_HOME", made, 1);
    elSystem::SetProgramName("fuzz");
    folder = elSystem::ConfigurationDirectory();
    const std::string make = base + "/fuzz";
    if (folder != make + "/" || mkdir(make.c_str(), 0700) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteFile(folder + "root", data, size);
    elSystem::ReadDataRoot("root");
    const std::size_t rootLength = std::strlen(elSystem::DataRoot.data());
    if (rootLength >= elSystem::kDataRootSize) std::abort();
    const std::string settings = elSystem::SettingsFolder();
    if (!settings.empty() && settings.back() != '/') std::abort();
    elSystem::DataRoot.fill('\0');

    WriteFile(folder + "number", data, size);
    const std::int32_t value = elSystem::ReadIntFile("number");
    // Whatever was read writes back and reads again as the same number.
    elSystem::WriteIntFile("number", value);
    if (elSystem::ReadIntFile("number") != value) std::abort();
    return 0;
}
