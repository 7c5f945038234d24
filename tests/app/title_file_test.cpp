// The window's title from a TITLE file next to the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/executable_path.h"
#include "platform/resources.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kBuiltIn = "built-in title";

class TitleFile : public ::testing::Test {
  protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() /
            ("title-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        platform::OverrideExecutablePath((folder / "greeting").string());
    }
    void TearDown() override {
        platform::OverrideExecutablePath({});
        fs::remove_all(folder);
    }
    void Write(const std::string& bytes) {
        std::ofstream(folder / "TITLE", std::ios::binary) << bytes;
    }
    // The title and whatever was said on standard error.
    std::pair<std::string, std::string> Title() {
        ::testing::internal::CaptureStderr();
        std::string title = platform::ProgramTitle(kBuiltIn);
        return {title, ::testing::internal::GetCapturedStderr()};
    }
    fs::path folder;
};

TEST_F(TitleFile, NoFileKeepsTheBuiltInTitleQuietly) {
    EXPECT_EQ(Title(), std::make_pair(std::string(kBuiltIn), std::string()));
}

TEST_F(TitleFile, OneLineIsTakenWithOrWithoutItsLineBreak) {
    const std::string anna = "Anna　７歳誕生日おめでとう！";
    for (const std::string ending : {"", "\n", "\r\n"}) {
        Write(anna + ending);
        EXPECT_EQ(Title(), std::make_pair(anna, std::string())) << "ending size " << ending.size();
    }
    const std::string longest(platform::kMaxTitleBytes, 'x');
    Write(longest + "\n");
    EXPECT_EQ(Title().first, longest);
}

TEST_F(TitleFile, UnusableTitlesGiveWayToTheBuiltInOneWithAReason) {
    const struct {
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"", "an empty title"},
        {"\n", "an empty title"},
        {"two\nlines", "control character or two lines"},
        {"tab\there", "control character"},
        {"bell\x07", "control character"},
        {"c1 \xC2\x85 control", "control character"},
        {"cut \xE3\x81", "not valid UTF-8"},
        {"overlong \xC0\xAF", "not valid UTF-8"},
        {"surrogate \xED\xA0\x80", "not valid UTF-8"},
        {std::string(platform::kMaxTitleBytes + 1, 'x'), "longer than 256 bytes"},
        {std::string(5000, 'x'), "longer than 256 bytes"},
    };
    for (const auto& c : cases) {
        Write(c.bytes);
        const auto [title, said] = Title();
        EXPECT_EQ(title, kBuiltIn) << c.reason;
        EXPECT_NE(said.find((folder / "TITLE").string()), std::string::npos) << said;
        EXPECT_NE(said.find(c.reason), std::string::npos) << said;
        EXPECT_NE(said.find("using the built-in TITLE"), std::string::npos) << said;
    }
}

TEST_F(TitleFile, AFolderNamedTitleIsNotRead) {
    fs::create_directory(folder / "TITLE");
    const auto [title, said] = Title();
    EXPECT_EQ(title, kBuiltIn);
    EXPECT_NE(said.find("not a regular file"), std::string::npos) << said;
}

}  // namespace
