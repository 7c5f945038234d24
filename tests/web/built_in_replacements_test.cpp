// A program built with a folder of replacement files (as a page made for someone else is):
// the folder's files take their entries' places, and its TITLE is the window's title when no
// TITLE file stands next to the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/executable_path.h"
#include "platform/resources.h"

namespace {

namespace fs = std::filesystem;

const std::string kAnna = "Anna　７歳誕生日おめでとう！";

std::string Resource(const char* name) {
    const auto bytes = platform::FindResource(name, platform::RT_RCDATA);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "(missing)";
}

TEST(BuiltInReplacements, FolderFilesReplaceOnlyTheirOwnEntries) {
    EXPECT_EQ(Resource("NOTE"), "from the folder\n");
    EXPECT_EQ(Resource("KEEP"), "kept\n");
    // Not an entry of the manifest: the folder's file named in lower case replaces nothing.
    EXPECT_EQ(Resource("keep"), "kept\n");
}

class BuiltInTitle : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("built-in-title-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        platform::OverrideExecutablePath((folder / "greeting").string());
    }
    void TearDown() override {
        platform::OverrideExecutablePath({});
        fs::remove_all(folder);
    }
    std::pair<std::string, std::string> Title() {
        ::testing::internal::CaptureStderr();
        std::string title = platform::ProgramTitle("the show's title");
        return {title, ::testing::internal::GetCapturedStderr()};
    }
    fs::path folder;
};

TEST_F(BuiltInTitle, TakesThePlaceOfTheShowsTitleWithoutItsLineBreak) {
    EXPECT_EQ(Title(), std::make_pair(kAnna, std::string()));
}

TEST_F(BuiltInTitle, GivesWayToAFileNextToTheProgramAndStandsInForAnUnusableOne) {
    std::ofstream(folder / "TITLE", std::ios::binary) << "Bob\n";
    EXPECT_EQ(Title().first, "Bob");
    std::ofstream(folder / "TITLE", std::ios::binary) << "two\nlines\n";
    const auto [title, said] = Title();
    EXPECT_EQ(title, kAnna);
    EXPECT_NE(said.find("two lines; using the built-in TITLE instead"), std::string::npos) << said;
}

}  // namespace
