// The song reader against a shared corpus of songs written elsewhere: the counts of every file
// that reads are those its manifest gives, which an independent reader found; damaged files are
// cut where the damage starts; files that are no songs are refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/audio/smf_reader.h"
#include "platform/file_read.h"

namespace {

namespace fs = std::filesystem;
using platform::MidiSong;
using platform::SmfError;

const fs::path kCorpus = fs::path(GREETING_CORPORA) / "midi";

#define REQUIRE_CORPUS()                                                             \
    if (!fs::is_regular_file(kCorpus / "manifest.tsv")) {                            \
        GTEST_SKIP() << "MIDI corpus not found at " << kCorpus << "; tests skipped"; \
    }

struct Row {
    std::string file;
    std::string strict;  // "ok", "ok with warnings" or "error: ..."
    std::uint64_t noteOns = 0;
    std::uint64_t events = 0;
    std::uint64_t maxTicks = 0;
};

std::vector<Row> Manifest() {
    std::ifstream in(kCorpus / "manifest.tsv");
    std::vector<Row> rows;
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
        if (fields.size() < 12) continue;
        Row row{fields[0], fields[7]};
        if (row.strict.starts_with("ok")) {
            row.noteOns = std::stoull(fields[9]);
            row.events = std::stoull(fields[10]);
            row.maxTicks = std::stoull(fields[11]);
        }
        rows.push_back(row);
    }
    return rows;
}

SmfError ReadCorpusFile(const std::string& relative, MidiSong* song) {
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(platform::ReadRegularFile((kCorpus / relative).string(), platform::kMaxSongFileBytes,
                                        &bytes),
              platform::FileReadError::None)
        << relative;
    return platform::ReadSmf(bytes, song);
}

bool NoTrackHeader(const std::string& file) {
    return file.starts_with("shkyrockett/header/") || file.ends_with("empty-00000-tracks.mid");
}

TEST(SmfCorpus, EveryFileThatReadsGivesTheManifestsCounts) {
    REQUIRE_CORPUS();
    const std::vector<Row> rows = Manifest();
    ASSERT_GT(rows.size(), 370u);
    int read = 0;
    for (const Row& row : rows) {
        if (!row.strict.starts_with("ok")) continue;
        MidiSong song;
        const SmfError error = ReadCorpusFile(row.file, &song);
        if (NoTrackHeader(row.file)) {
            EXPECT_EQ(error, SmfError::NoTracks) << row.file;
            continue;
        }
        ASSERT_EQ(error, SmfError::None) << row.file << ": " << platform::SmfErrorText(error);
        EXPECT_EQ(song.noteOns, row.noteOns) << row.file;
        EXPECT_EQ(song.eventCount, row.events) << row.file;
        EXPECT_EQ(song.longestTrackTicks, row.maxTicks) << row.file;
        EXPECT_FALSE(song.truncated) << row.file;
        EXPECT_LE(song.events.size(), row.events) << row.file;
        ++read;
    }
    EXPECT_GT(read, 330);
}

TEST(SmfCorpus, DamagedFilesAreCutAndNoSongsRefused) {
    REQUIRE_CORPUS();
    // One byte short: the notes before the cut play.
    MidiSong song;
    ASSERT_EQ(ReadCorpusFile("jazz-soft/test-corrupt-file-missing-byte.mid", &song),
              SmfError::None);
    EXPECT_EQ(song.noteOns, 8u);
    EXPECT_TRUE(song.truncated);
    // One byte too many after the last chunk: read as if it were not there.
    ASSERT_EQ(ReadCorpusFile("jazz-soft/test-corrupt-file-extra-byte.mid", &song), SmfError::None);
    EXPECT_EQ(song.noteOns, 8u);
    EXPECT_FALSE(song.truncated);
    // A track that claims a megabyte of a 64 KiB file: read as far as it goes.
    ASSERT_EQ(ReadCorpusFile("midly/PiDamaged.mid", &song), SmfError::None);
    EXPECT_TRUE(song.truncated);
    EXPECT_GT(song.noteOns, 0u);

    const std::map<std::string, SmfError> refused = {
        {"jazz-soft/test-empty-file.mid", SmfError::NotMidi},
        {"jazz-soft/test-not-a-midi-file.mid", SmfError::NotMidi},
        {"jazz-soft/test-syx-7e-06-01-id-request.syx", SmfError::NotMidi},
        {"midly/colorlist.txt", SmfError::NotMidi},
    };
    for (const auto& [file, error] : refused) EXPECT_EQ(ReadCorpusFile(file, &song), error) << file;
    int illegal = 0;
    for (const Row& row : Manifest()) {
        if (row.strict.find("not allowed in an SMF track") == std::string::npos) continue;
        EXPECT_EQ(ReadCorpusFile(row.file, &song), SmfError::BadStatus) << row.file;
        EXPECT_TRUE(song.events.empty());
        ++illegal;
    }
    EXPECT_EQ(illegal, 23);
}

TEST(SmfCorpus, ReadsTheRiffWrappedSong) {
    REQUIRE_CORPUS();
    MidiSong song;
    ASSERT_EQ(ReadCorpusFile("midly/Beethoven.rmi", &song), SmfError::None);
    EXPECT_EQ(song.tracks, 15u);
    EXPECT_EQ(song.noteOns, 10423u);
    EXPECT_EQ(song.eventCount, 21464u);
    EXPECT_EQ(song.longestTrackTicks, 240558u);
}

}  // namespace
