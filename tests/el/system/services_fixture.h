// The library alone on a headless host, with a scratch folder as the user's configuration
// folder; the environment and the program's place are put back afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "platform/executable_path.h"
#include "tests/el/library_fixture.h"

namespace eltest {

namespace fs = std::filesystem;

class SavedVariable {
  public:
    explicit SavedVariable(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) value_ = value;
    }
    ~SavedVariable() {
        if (value_) {
            setenv(name_, value_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    SavedVariable(const SavedVariable&) = delete;
    SavedVariable& operator=(const SavedVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> value_;
};

class ServicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host = StartLibrary();
        root = fs::temp_directory_path() /
               ("el-services-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "config");
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    }
    void TearDown() override {
        platform::OverrideExecutablePath({});
        std::error_code error;
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, error);
        for (const auto& entry : fs::recursive_directory_iterator(root, error)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
        fs::remove_all(root, error);
        StopLibrary();
    }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Write(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    platform::HeadlessHost* host = nullptr;
    fs::path root;
    SavedVariable configHome{"XDG_CONFIG_HOME"};
    SavedVariable home{"HOME"};
};

}  // namespace eltest
