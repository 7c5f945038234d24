// Where settings files go, what they hold, and the data root that moves them.
#include "el/system/settings_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <string>

#include "el/system/program_directory.h"
#include "tests/el/system/services_fixture.h"

namespace {

using namespace elSystem;
using eltest::fs::path;

class SettingsFiles : public eltest::ServicesTest {
  protected:
    void SetUp() override {
        ServicesTest::SetUp();
        SetProgramName("show");
    }
    path Config() const { return root / "config" / "show"; }
};

TEST_F(SettingsFiles, LiveInTheConfigurationFolderUnderTheProgramsName) {
    EXPECT_EQ(std::string(SettingsDirectory()), Config().string() + "/");
    // ProgramDirectory and SettingsDirectory share one buffer: each call overwrites it.
    const char* settings = SettingsDirectory();
    EXPECT_EQ(ProgramDirectory(), settings);

    setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not absolute: to be ignored
    setenv("HOME", (root / "home").c_str(), 1);
    EXPECT_EQ(std::string(SettingsDirectory()), (root / "home/.config/show/").string());
}

TEST_F(SettingsFiles, ProgramNamesThatAreNotOneFileNameAreRefused) {
    for (const char* bad : {"", ".", "..", "a/b", "/etc"}) {
        SetProgramName(bad);
        EXPECT_EQ(std::string(SettingsDirectory()), Config().string() + "/") << bad;
    }
    SetProgramName(nullptr);
    SetProgramName(std::string(kProgramNameSize, 'n').c_str());
    EXPECT_EQ(std::string(ProgramName.data()), "show");
    // Unnamed, a program keeps its settings under its executable's name.
    ProgramName.fill('\0');
    EXPECT_EQ(std::string(SettingsDirectory()),
              (root / "config/el_system_services_test/").string());
}

TEST_F(SettingsFiles, NumbersGoAndComeBackAsPlainDecimalText) {
    EXPECT_FALSE(eltest::fs::exists(Config()));
    WriteIntFile("score", -5);
    EXPECT_EQ(Read(Config() / "score"), "-5");  // made the folder; no line end
    EXPECT_EQ(ReadIntFile("score"), -5);
    WriteIntFile("score", 2147483647);
    EXPECT_EQ(ReadIntFile("score"), 2147483647);
    WriteIntFile("score", -2147483647 - 1);
    EXPECT_EQ(ReadIntFile("score"), -2147483647 - 1);

    // The files leave the path buffer to whoever filled it last.
    const std::string program = ProgramDirectory();
    WriteIntFile("score", 1);
    ReadIntFile("score");
    EXPECT_EQ(std::string(PathBuffer.data()), program);
}

TEST_F(SettingsFiles, ARoundTripNeedsNothingOfAReadOnlyProgramFolder) {
    const path games = root / "games" / "Show";
    eltest::fs::create_directories(games);
    Write(games / "run", "");
    eltest::fs::permissions(games, eltest::fs::perms::owner_read | eltest::fs::perms::owner_exec);
    platform::OverrideExecutablePath((games / "run").string());
    EXPECT_EQ(std::string(ProgramDirectory()), games.string() + "/");

    WriteIntFile("hiscore", 1234);
    EXPECT_EQ(ReadIntFile("hiscore"), 1234);
    EXPECT_EQ(Read(Config() / "hiscore"), "1234");
    EXPECT_FALSE(eltest::fs::exists(games / "hiscore"));
}

TEST_F(SettingsFiles, AnythingButANumberReadsAsZero) {
    EXPECT_EQ(ReadIntFile("missing"), 0);
    EXPECT_EQ(ReadIntFile(nullptr), 0);
    EXPECT_EQ(ReadIntFile(""), 0);
    for (const auto& [text, value] :
         {std::pair{"", 0}, std::pair{"abc", 0}, std::pair{"-", 0}, std::pair{"+-3", 0},
          std::pair{"99999999999", 0}, std::pair{"-2147483649", 0}, std::pair{" \n\t42xyz", 42},
          std::pair{"+7", 7}, std::pair{"12\n34", 12}}) {
        Write(Config() / "n", text);
        EXPECT_EQ(ReadIntFile("n"), value) << '"' << text << '"';
    }
    WriteIntFile(nullptr, 3);  // nothing to write to, and no crash
    WriteIntFile("", 3);
    EXPECT_EQ(std::distance(eltest::fs::directory_iterator(Config()), {}), 1);  // only "n"
}

TEST_F(SettingsFiles, ADataRootTakesTheProgramFoldersLastName) {
    const path games = root / "games" / "Show";
    platform::OverrideExecutablePath((games / "run").string());
    const path save = root / "save";
    Write(Config() / "root.txt", save.string() + "/\nsecond line\n");
    ReadDataRoot("root.txt");
    EXPECT_EQ(std::string(DataRoot.data()), save.string());  // one trailing '/' goes
    EXPECT_EQ(std::string(SettingsDirectory()), (save / "Show").string() + "/");
    EXPECT_EQ(std::string(LastDirectoryName.data()), "Show/");

    WriteIntFile("level", 9);
    EXPECT_EQ(Read(save / "Show" / "level"), "9");
    EXPECT_EQ(ReadIntFile("level"), 9);

    // A line written on Windows; the root of the file system keeps its '/'.
    Write(Config() / "root.txt", save.string() + "\r\n");
    ReadDataRoot("root.txt");
    EXPECT_EQ(std::string(DataRoot.data()), save.string());
    Write(Config() / "root.txt", "/\n");
    ReadDataRoot("root.txt");
    EXPECT_EQ(std::string(SettingsDirectory()), "/Show/");
}

TEST_F(SettingsFiles, AMissingEmptyOrOverlongDataRootFileLeavesNone) {
    const auto rootFrom = [&](const std::string& text) {
        Write(Config() / "root.txt", text);
        std::strcpy(DataRoot.data(), "/old");
        ReadDataRoot("root.txt");
        return std::string(DataRoot.data());
    };
    EXPECT_EQ(rootFrom(""), "");
    EXPECT_EQ(rootFrom("\n/second"), "");
    EXPECT_EQ(rootFrom("/" + std::string(254, 'a')), "/" + std::string(254, 'a'));
    EXPECT_EQ(rootFrom("/" + std::string(255, 'a') + "\n"), "");  // cut, it would name another
    std::strcpy(DataRoot.data(), "/old");
    ReadDataRoot("missing.txt");
    EXPECT_EQ(std::string(DataRoot.data()), "");
    std::strcpy(DataRoot.data(), "/old");
    ReadDataRoot(nullptr);
    EXPECT_EQ(std::string(DataRoot.data()), "");
    EXPECT_EQ(std::string(SettingsDirectory()), Config().string() + "/");
}

TEST_F(SettingsFiles, APathTooLongForTheBufferIsRefusedNotCut) {
    platform::OverrideExecutablePath((root / "games" / "Show" / "run").string());
    const std::string longRoot = "/" + std::string(250, 'r');
    ASSERT_LT(longRoot.size(), kDataRootSize);
    std::strcpy(DataRoot.data(), longRoot.c_str());
    EXPECT_STREQ(SettingsDirectory(), "");
    WriteIntFile("n", 1);
    EXPECT_EQ(ReadIntFile("n"), 0);
    EXPECT_FALSE(eltest::fs::exists(longRoot));

    // A program directory that does not fit gives no last name; the data root alone remains.
    platform::OverrideExecutablePath("/" + std::string(300, 'p') + "/run");
    EXPECT_STREQ(ProgramDirectory(), "");
    LastDirectoryName.fill('\0');
    std::strcpy(DataRoot.data(), "/save");
    EXPECT_STREQ(SettingsDirectory(), "/save/");
}

TEST_F(SettingsFiles, AWriteThatFailsKeepsTheValueBefore) {
    WriteIntFile("score", 1234);
    {
        // A disk with room for one byte: the new value is cut short, so nothing replaces the old.
        struct sigaction ignore {
        }, before{};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &before);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit small{1, limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        WriteIntFile("score", -987654);
        setrlimit(RLIMIT_FSIZE, &limit);
        sigaction(SIGXFSZ, &before, nullptr);
    }
    EXPECT_EQ(Read(Config() / "score"), "1234");
    // Something in the way of the temporary file (even root cannot write through a folder).
    eltest::fs::create_directory(Config() / "score.part");
    WriteIntFile("score", 77);
    EXPECT_EQ(ReadIntFile("score"), 1234);
    eltest::fs::remove(Config() / "score.part");
    WriteIntFile("score", 77);
    EXPECT_EQ(ReadIntFile("score"), 77);
    EXPECT_FALSE(eltest::fs::exists(Config() / "score.part"));
}

}  // namespace
