// Reading whole files from paths a user controls: only regular files, sizes checked first.
#include "platform/file_read.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <filesystem>

#include "tests/platform/audio/unusual_files.h"
#include "tests/platform/audio/wave_builder.h"

namespace {

namespace fs = std::filesystem;
using platform::ReadRegularFile;
using enum platform::FileReadError;

class FileRead : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(testing::TempDir()) / ("file_read_test_" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  private:
    fs::path dir_;
};

TEST_F(FileRead, ReadsARegularFileWithinItsLimit) {
    const wavetest::Bytes bytes = {0, 1, 2, 250, 255, 7, 7};
    ASSERT_TRUE(wavetest::WriteFile(Path("seven"), bytes));
    fs::create_symlink(Path("seven"), Path("link"));
    std::vector<std::uint8_t> out;
    for (const char* name : {"seven", "link"}) {
        EXPECT_EQ(ReadRegularFile(Path(name), 7, &out), None) << name;
        EXPECT_EQ(out, bytes) << name;
    }
    EXPECT_EQ(ReadRegularFile(Path("seven"), 6, &out), TooLarge);
    EXPECT_TRUE(out.empty());
    ASSERT_TRUE(wavetest::WriteFile(Path("empty"), {}));
    out = {1};
    EXPECT_EQ(ReadRegularFile(Path("empty"), 0, &out), None);
    EXPECT_TRUE(out.empty());
}

TEST_F(FileRead, TellsMissingFilesFromUnusableOnes) {
    ASSERT_TRUE(wavetest::WriteFile(Path("plain"), {1}));
    std::vector<std::uint8_t> out;
    for (const std::string& missing : {Path("none"), Path("plain") + "/below", std::string()}) {
        EXPECT_EQ(ReadRegularFile(missing, 100, &out), Missing) << missing;
    }
    // A device would give endless bytes or none; a directory and a socket have no bytes at all.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = Path("socket");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    fs::create_symlink("/dev/zero", Path("zeros"));
    for (const std::string& odd : {Path(""), std::string("/dev/zero"), std::string("/dev/null"),
                                   socketPath, Path("zeros")}) {
        EXPECT_EQ(ReadRegularFile(odd, 100, &out), NotRegularFile) << odd;
    }
    close(listener);
    if (geteuid() != 0) {
        fs::permissions(Path("plain"), fs::perms::none);
        EXPECT_EQ(ReadRegularFile(Path("plain"), 100, &out), Unreadable);
    }
}

// Opening a FIFO for reading would wait for a writer that never comes.
TEST_F(FileRead, AFifoIsRefusedAtOnce) {
    const wavetest::Fifo fifo(Path("fifo"));
    ASSERT_TRUE(fifo.made());
    fs::create_symlink(Path("fifo"), Path("to-fifo"));
    std::vector<std::uint8_t> out;
    for (const char* name : {"fifo", "to-fifo"}) {
        platform::FileReadError error = None;
        const double seconds =
            wavetest::SecondsFor([&] { error = ReadRegularFile(Path(name), 100, &out); });
        EXPECT_EQ(error, NotRegularFile) << name;
        EXPECT_LT(seconds, 1.0) << name;
    }
}

// A sparse file claims gigabytes in no disk space; the size is refused before any is read.
TEST_F(FileRead, AHugeSparseFileIsRefusedBeforeReading) {
    for (const std::uint64_t size : {std::uint64_t{2} << 30, std::uint64_t{4} << 30}) {
        ASSERT_TRUE(wavetest::MakeSparseFile(Path("sparse"), {'R', 'I', 'F', 'F'}, size));
        std::vector<std::uint8_t> out;
        platform::FileReadError error = None;
        const double seconds = wavetest::SecondsFor(
            [&] { error = ReadRegularFile(Path("sparse"), std::uint64_t{1} << 28, &out); });
        EXPECT_EQ(error, TooLarge) << size;
        EXPECT_LT(seconds, 1.0) << size;
    }
}

}  // namespace
