#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "tools/music/music_math.h"
#include "tools/music/score.h"
#include "tools/music/synth.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 44100;
constexpr std::size_t kSamples = 302399;
constexpr std::size_t kHeaderBytes = 44;

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const fs::path& path) {
    const auto bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

std::uint32_t Le(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes.at(at + i);
    return value;
}

std::string Tag(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return {bytes.begin() + static_cast<std::ptrdiff_t>(at),
            bytes.begin() + static_cast<std::ptrdiff_t>(at + 4)};
}

std::vector<int> SamplesOf(const std::vector<std::uint8_t>& bytes) {
    std::vector<int> samples;
    for (std::size_t at = kHeaderBytes; at + 1 < bytes.size(); at += 2) {
        samples.push_back(static_cast<std::int16_t>(Le(bytes, at, 2)));
    }
    return samples;
}

const std::vector<int>& Committed() {
    static const std::vector<int> samples = SamplesOf(ReadBytes(DG_WAV));
    return samples;
}

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// A scratch folder per test process, removed at the end of the test.
class ScratchDir {
  public:
    ScratchDir()
        : path_(fs::temp_directory_path() / ("dg-music-test-" + std::to_string(getpid()))) {
        fs::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    fs::path operator/(const std::string& name) const { return path_ / name; }

  private:
    fs::path path_;
};

// Runs the generator with the given arguments; returns its exit status.
int RunGenerator(const std::string& args, const fs::path& out, const fs::path& err) {
    const std::string command =
        Quoted(DG_MUSIC) + " " + args + " >" + Quoted(out.string()) + " 2>" + Quoted(err.string());
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DgMusic, RegeneratesTheCommittedFileExactly) {
    const auto committed = ReadBytes(DG_WAV);
    ASSERT_FALSE(committed.empty()) << "cannot read " << DG_WAV;
    ScratchDir dir;
    const fs::path wav = dir / "DG.wav";
    std::ofstream(wav) << "an older file that must be replaced";

    ASSERT_EQ(RunGenerator(Quoted(wav.string()), dir / "out", dir / "err"), 0)
        << ReadText(dir / "err");
    const auto fresh = ReadBytes(wav);
    ASSERT_EQ(fresh.size(), committed.size());
    const auto mismatch = std::mismatch(fresh.begin(), fresh.end(), committed.begin());
    EXPECT_TRUE(mismatch.first == fresh.end())
        << "first difference at byte " << (mismatch.first - fresh.begin());
    EXPECT_FALSE(fs::exists(dir / "DG.wav.part"));
    EXPECT_EQ(ReadText(dir / "err"), "");
}

TEST(DgMusic, CommittedFileIsCanonicalMonoPcm) {
    const auto bytes = ReadBytes(DG_WAV);
    ASSERT_EQ(bytes.size(), kHeaderBytes + 2 * kSamples);
    EXPECT_EQ(Tag(bytes, 0), "RIFF");
    EXPECT_EQ(Le(bytes, 4, 4), bytes.size() - 8);
    EXPECT_EQ(Tag(bytes, 8), "WAVE");
    EXPECT_EQ(Tag(bytes, 12), "fmt ");
    EXPECT_EQ(Le(bytes, 16, 4), 16u);
    EXPECT_EQ(Le(bytes, 20, 2), 1u);  // integer PCM
    EXPECT_EQ(Le(bytes, 22, 2), 1u);  // mono
    EXPECT_EQ(Le(bytes, 24, 4), 44100u);
    EXPECT_EQ(Le(bytes, 28, 4), 88200u);
    EXPECT_EQ(Le(bytes, 32, 2), 2u);
    EXPECT_EQ(Le(bytes, 34, 2), 16u);
    EXPECT_EQ(Tag(bytes, 36), "data");
    EXPECT_EQ(Le(bytes, 40, 4), 604798u);
}

TEST(DgMusic, LevelsSitThreeDecibelsBelowFullScaleWithoutOffset) {
    const auto& x = Committed();
    ASSERT_EQ(x.size(), kSamples);
    int peak = 0;
    double sum = 0.0;
    double energy = 0.0;
    for (const int v : x) {
        peak = std::max(peak, std::abs(v));
        sum += v;
        energy += static_cast<double>(v) * v;
        ASSERT_LT(v, 32767);
        ASSERT_GT(v, -32767);
    }
    EXPECT_GE(peak, 22500);
    EXPECT_LE(peak, 23300);
    EXPECT_LT(std::abs(sum / x.size()), 0.5);
    // Music all the way through, not a few loud notes over silence: RMS well above -30 dBFS.
    EXPECT_GT(std::sqrt(energy / x.size()), 32768 * 0.0316);
}

double Percentile(std::vector<int> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * (values.size() - 1))];
}

TEST(DgMusic, LoopSeamIsNoRougherThanThePiece) {
    const auto& x = Committed();
    ASSERT_EQ(x.size(), kSamples);
    const std::size_t n = x.size();
    std::vector<int> steps;
    std::vector<int> bends;
    for (std::size_t i = 0; i + 1 < n; ++i) steps.push_back(std::abs(x[i + 1] - x[i]));
    for (std::size_t i = 1; i + 1 < n; ++i)
        bends.push_back(std::abs(x[i + 1] - 2 * x[i] + x[i - 1]));
    const double stepLimit = Percentile(steps, 0.999);
    const double bendLimit = Percentile(bends, 0.999);

    const int seamStep = std::abs(x[0] - x[n - 1]);
    const int bendBefore = std::abs(x[0] - 2 * x[n - 1] + x[n - 2]);
    const int bendAfter = std::abs(x[1] - 2 * x[0] + x[n - 1]);
    EXPECT_LE(seamStep, stepLimit);
    EXPECT_LE(bendBefore, bendLimit);
    EXPECT_LE(bendAfter, bendLimit);
    // The music keeps ringing across the seam rather than stopping there.
    EXPECT_GT(std::abs(x[n - 1]) + std::abs(x[0]), 0);
}

// Power of one frequency over a stretch of the loop, reading around the seam.
double PowerAt(const std::vector<int>& x, double hz, long start, long length) {
    const double w = 2.0 * std::numbers::pi * hz / kRate;
    const double c = 2.0 * std::cos(w);
    double s1 = 0.0;
    double s2 = 0.0;
    const long n = static_cast<long>(x.size());
    for (long i = 0; i < length; ++i) {
        const double s = x[static_cast<std::size_t>(((start + i) % n + n) % n)] + c * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

TEST(DgMusic, PlaysTheBirthdayTuneInTuneAndOnTheBeat) {
    // The song's first half in F major, the "Hap-py" pickup at the end of the loop.
    struct Sung {
        int midi;
        double beat;
    };
    const std::vector<Sung> tune{{74, 0}, {72, 1}, {77, 2}, {76, 3}, {72, 5},  {72, 5.75},
                                 {74, 6}, {72, 7}, {79, 8}, {77, 9}, {72, 11}, {72, 11.75}};
    const auto& x = Committed();
    ASSERT_EQ(x.size(), kSamples);
    const long window = kRate / 10;
    const long gap = kRate / 100;
    const auto hzOf = [](int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); };
    int previous = 0;
    for (const Sung& note : tune) {
        const long onset = std::lround(note.beat * kSamples / 12.0);
        const double after = PowerAt(x, hzOf(note.midi), onset + gap, window);
        // Over chords, bass and celesta, the sung note is the loudest pitch of its register.
        for (int other = 65; other <= 83; ++other) {
            if (other == note.midi) continue;
            EXPECT_GT(after, PowerAt(x, hzOf(other), onset + gap, window))
                << "beat " << note.beat << ": " << other << " outsings " << note.midi;
        }
        if (note.midi != previous) {
            // A new pitch starts right on its beat, not before.
            EXPECT_GT(after, 10.0 * PowerAt(x, hzOf(note.midi), onset - gap - window, window))
                << "beat " << note.beat;
        }
        previous = note.midi;
    }
}

TEST(DgMusic, CommandLine) {
    ScratchDir dir;
    const fs::path out = dir / "out";
    const fs::path err = dir / "err";

    EXPECT_EQ(RunGenerator("--help", out, err), 0);
    EXPECT_NE(ReadText(out).find("Usage: dg-music OUTPUT.wav"), std::string::npos);

    for (const std::string args : {"", "a.wav b.wav", "--loud a.wav"}) {
        EXPECT_EQ(RunGenerator(args, out, err), 2) << args;
        EXPECT_NE(ReadText(err).find("dg-music: "), std::string::npos) << args;
    }

    const fs::path unwritable = dir / "missing" / "DG.wav";
    EXPECT_EQ(RunGenerator(Quoted(unwritable.string()), out, err), 1);
    EXPECT_NE(ReadText(err).find(unwritable.string()), std::string::npos) << ReadText(err);
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(DgMusicMath, SineAndExponentialMatchTheLibrary) {
    for (int i = -4000; i <= 4000; ++i) {
        const double cycles = i * 0.000731 + (i % 7) * 1234.0;
        // Whole turns come off exactly; 2 pi times a large count would not be exact.
        const double turn = cycles - std::round(cycles);
        ASSERT_NEAR(music::SinCycles(cycles), std::sin(2.0 * std::numbers::pi * turn), 1e-14)
            << cycles;
    }
    EXPECT_EQ(music::SinCycles(0.0), 0.0);
    EXPECT_NEAR(music::SinCycles(0.25), 1.0, 1e-15);
    for (int i = -6000; i <= 6000; ++i) {
        const double x = i * 0.01;
        ASSERT_NEAR(music::Exp(x) / std::exp(x), 1.0, 1e-14) << x;
    }
    EXPECT_NEAR(music::FrequencyOf(69), 440.0, 1e-12);
    EXPECT_NEAR(music::FrequencyOf(81), 880.0, 1e-12);
    EXPECT_NEAR(music::FrequencyOf(60), 261.6255653005986, 1e-10);
}

TEST(DgMusicMath, SamplesRoundHalfAwayFromZeroAndSaturate) {
    EXPECT_EQ(music::ToSample(0.49), 0);
    EXPECT_EQ(music::ToSample(0.5), 1);
    EXPECT_EQ(music::ToSample(-0.5), -1);
    EXPECT_EQ(music::ToSample(-1.49), -1);
    EXPECT_EQ(music::ToSample(-1.5), -2);
    EXPECT_EQ(music::ToSample(32766.7), 32767);
    EXPECT_EQ(music::ToSample(1e9), 32767);
    EXPECT_EQ(music::ToSample(-1e9), -32768);
}

TEST(DgMusicScore, EveryNoteFitsTheLoop) {
    for (const music::Note& note : music::Score()) {
        EXPECT_GE(note.beat, 0.0);
        EXPECT_LT(note.beat, music::kLoopBeats);
        EXPECT_GT(note.beats, 0.0);
        EXPECT_GT(note.velocity, 0.0);
        EXPECT_LE(note.velocity, 1.0);
        // Ringing longer than the loop would pile a note onto itself.
        EXPECT_LT(music::SamplesOfBeats(note.beats) +
                      music::InstrumentOf(note.voice).releaseSeconds * kRate,
                  kSamples);
    }
}

}  // namespace
