// Date and time from the host's clock, disk space and memory in 32 bits.
#include "el/system/system_queries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <memory>
#include <string>

#include "el/system/settings_files.h"
#include "platform/system_info.h"
#include "tests/el/system/services_fixture.h"

namespace {

using namespace elSystem;

class SystemQueries : public eltest::ServicesTest {
  protected:
    // A fresh headless host whose virtual wall clock starts at `epochSeconds`.
    platform::HeadlessHost* StartAt(std::int64_t epochSeconds) {
        auto owned = std::make_unique<platform::HeadlessHost>(epochSeconds);
        platform::HeadlessHost* started = owned.get();
        platform::InstallHost(std::move(owned));
        return started;
    }
    std::string Weekday() {
        char name[kWeekdayNameSize] = "x";
        GetDate(nullptr, nullptr, nullptr, name);
        return name;
    }
};

TEST_F(SystemQueries, DateAndTimeComeFromTheVirtualClockInEveryTimeZone) {
    eltest::SavedVariable zone("TZ");
    setenv("TZ", "Asia/Tokyo", 1);  // nine hours ahead: must not move the virtual calendar
    tzset();
    platform::HeadlessHost* clock = StartAt(946684800);  // 2000-01-01 00:00:00, a Saturday
    std::int32_t year = 0, month = 0, day = 0, hour = -1, minute = -1, second = -1;
    char weekday[kWeekdayNameSize] = {};
    GetDate(&year, &month, &day, weekday);
    GetTime(&hour, &minute, &second);
    EXPECT_EQ(year, 2000);
    EXPECT_EQ(month, 1);
    EXPECT_EQ(day, 1);
    EXPECT_STREQ(weekday, "土");
    EXPECT_EQ(hour * 10000 + minute * 100 + second, 0);

    clock->AdvanceClock(2500);
    GetTime(&hour, &minute, &second);
    EXPECT_EQ(second, 2);
    StartAt(946684800 + 24 * 3600 + 3661);  // a day, an hour, a minute and a second later
    GetTime(&hour, &minute, &second);
    EXPECT_EQ(hour * 10000 + minute * 100 + second, 10101);
    EXPECT_EQ(Weekday(), "日");
    StartAt(951782400);  // 2000-02-29, a Tuesday
    GetDate(&year, &month, &day, weekday);
    EXPECT_EQ(month * 100 + day, 229);
    EXPECT_EQ(Weekday(), "火");
    unsetenv("TZ");
    tzset();
}

TEST_F(SystemQueries, WeekdayNamesNeverOverrunASmallBuffer) {
    // The names take three bytes of UTF-8: a three-byte buffer gets an empty text instead.
    char small[3] = {'x', 'x', 'x'};
    GetDate(nullptr, nullptr, nullptr, small, sizeof small);
    EXPECT_EQ(small[0], '\0');
    GetDate(nullptr, nullptr, nullptr, nullptr, 4);  // every output may be left out
    GetTime(nullptr, nullptr, nullptr);
    EXPECT_EQ(WeekdayName(7), "");
    EXPECT_EQ(WeekdayName(-1), "");
}

TEST_F(SystemQueries, AClockOutOfTheCalendarsReachGivesTheEpoch) {
    StartAt(std::numeric_limits<std::int64_t>::max() - 10);
    std::int32_t year = 0;
    GetDate(&year, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(year, 1970);
}

TEST_F(SystemQueries, DiskAndMemoryAreHeldAtTheLargest32BitCountInsteadOfWrapping) {
    SetProgramName("show");
    const auto free = platform::FreeDiskBytes((root / "config/show/").string());
    ASSERT_TRUE(free.has_value());  // the folder does not exist yet: its parent answers
    const std::uint64_t expected =
        std::min<std::uint64_t>(*free, std::numeric_limits<std::int32_t>::max());
    // The two questions are a moment apart: allow for another program writing meanwhile.
    EXPECT_NEAR(static_cast<double>(GetDiskFree('C')), static_cast<double>(expected), 64.0e6);
    EXPECT_GT(GetDiskFree('z'), 0);
    for (const char notALetter : {'\0', '1', '?', ':'}) EXPECT_EQ(GetDiskFree(notALetter), 0);

    const std::int32_t memory = GetFreeMemory();
    EXPECT_GT(memory, 0);
    const auto available = platform::AvailableMemoryBytes();
    ASSERT_TRUE(available.has_value());
    if (*available > 4'000'000'000u) {
        EXPECT_EQ(memory, std::numeric_limits<std::int32_t>::max());
    }
}

}  // namespace
