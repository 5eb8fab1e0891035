#include "core/batch/timestamp_change.h"
#include "batch_fakes.h"
#include "file_helpers.h"
#include "core/platform/file_times.h"
#include "core/platform/time_zone.h"

#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace harpoly {
namespace {

using namespace harpoly::testing;

// Sets TZ for one test and puts the previous value back afterwards.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ")) {
            saved_ = old;
        }
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~ScopedTimeZone() {
        if (saved_) {
            ::setenv("TZ", saved_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

private:
    std::optional<std::string> saved_;
};

std::int64_t utcSeconds(int y, int mo, int d, int h, int mi, int s) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    return ::timegm(&tm);
}

TEST(Timestamp, LocalMomentTurnsUtcByTheStandardOffsetInWholeHours) {
    struct Case {
        const char* tz;
        int offsetHours;
        LocalMoment local;
        std::int64_t utc;
    };
    const Case cases[] = {
        // Japan: 09:30 local on 2005-01-15 is 00:30 UTC.
        {"JST-9", -9, {2005, 1, 15, 9, 30, 0, 0}, utcSeconds(2005, 1, 15, 0, 30, 0)},
        // US Eastern in July: the standard offset, not the summer one.
        {"EST5EDT", 5, {2005, 7, 15, 12, 0, 0, 0}, utcSeconds(2005, 7, 15, 17, 0, 0)},
        // India: the half hour is dropped.
        {"IST-5:30", -5, {2005, 7, 15, 12, 0, 0, 0}, utcSeconds(2005, 7, 15, 7, 0, 0)},
        {"UTC0", 0, {2000, 2, 29, 23, 59, 59, 0}, utcSeconds(2000, 2, 29, 23, 59, 59)},
    };
    for (const auto& c : cases) {
        ScopedTimeZone zone(c.tz);
        EXPECT_EQ(standardOffsetHours(), c.offsetHours) << c.tz;
        EXPECT_EQ(toUtc(c.local, standardOffsetHours()).seconds, c.utc) << c.tz;
    }
    EXPECT_EQ(toUtc({2005, 1, 15, 9, 30, 0, 250}, -9).nanoseconds, 250000000L);
}

struct Times {
    timespec access, write;
};

Times timesOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return {st.st_atim, st.st_mtim};
}

void setTimes(const std::string& path, std::int64_t access, std::int64_t write) {
    const timespec t[2] = {{static_cast<time_t>(access), 0}, {static_cast<time_t>(write), 0}};
    ::utimensat(AT_FDCWD, path.c_str(), t, 0);
}

TEST(Timestamp, SetLastWriteTimeKeepsAccessAndNeedsAWritableFile) {
    TempFolder dir;
    writeFile(dir / "a.jpg", "a");
    setTimes(dir / "a.jpg", 1000, 2000);
    ASSERT_TRUE(setLastWriteTime(dir / "a.jpg", 1105749000, 5));
    EXPECT_EQ(timesOf(dir / "a.jpg").write.tv_sec, 1105749000);
    EXPECT_EQ(timesOf(dir / "a.jpg").write.tv_nsec, 5);
    EXPECT_EQ(timesOf(dir / "a.jpg").access.tv_sec, 1000);

    ASSERT_EQ(::mkdir((dir / "folder.jpg").c_str(), 0755), 0); // cannot be opened for writing
    setTimes(dir / "folder.jpg", 1000, 2000);
    EXPECT_FALSE(setLastWriteTime(dir / "folder.jpg", 1105749000));
    EXPECT_EQ(timesOf(dir / "folder.jpg").write.tv_sec, 2000);
    EXPECT_FALSE(setLastWriteTime(dir / "missing.jpg", 1105749000));
}

class TimestampWalk : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* n : {"a.jpg", "b.jpg", "ro.jpg", "c.jpg"}) {
            writeFile(dir / n, n);
            setTimes(dir / n, 1000, 2000);
        }
        ::chmod((dir / "ro.jpg").c_str(), 0444);
    }
    // The real setter, except that a file without any write permission is
    // refused as the system refuses it to an ordinary user (tests may run as
    // root, who may write anything).
    TimestampPorts ports() {
        return {list, prompter, busy,
                [](const std::string& path, std::int64_t s, long ns) {
                    struct stat st {};
                    if (::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0) {
                        return false;
                    }
                    return setLastWriteTime(path, s, ns);
                },
                [this] { ++previews; }};
    }

    TempFolder dir;
    FakeFileList list{{{"a.jpg", true}, {"b.jpg", false}, {"ro.jpg", true}, {"c.jpg", true}}};
    FakePrompter prompter;
    FakeBusy busy;
    int previews = 0;
    const UtcMoment moment = toUtc({2005, 1, 15, 9, 30, 0, 0}, -9);
};

TEST_F(TimestampWalk, ChangesTheWritableSelectedFilesOnly) {
    ASSERT_TRUE(
        changeTimestamps(ports(), dir.path(), "タイムスタンプ", kLastWriteTimeItem, moment));
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].question, "選択ファイルの更新日時を変更しますか?");
    EXPECT_EQ(prompter.asked[0].caption, "タイムスタンプ");
    const std::int64_t expected = utcSeconds(2005, 1, 15, 0, 30, 0);
    EXPECT_EQ(timesOf(dir / "a.jpg").write.tv_sec, expected);
    EXPECT_EQ(timesOf(dir / "c.jpg").write.tv_sec, expected);
    EXPECT_EQ(timesOf(dir / "b.jpg").write.tv_sec, 2000);  // not selected
    EXPECT_EQ(timesOf(dir / "ro.jpg").write.tv_sec, 2000); // read-only keeps its times
    for (const char* n : {"a.jpg", "b.jpg", "ro.jpg", "c.jpg"}) {
        EXPECT_EQ(timesOf(dir / n).access.tv_sec, 1000) << n;
    }
    EXPECT_EQ(busy.range, 4);
    EXPECT_EQ(busy.steps, 4);
    EXPECT_EQ(busy.ended, 1);
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(list.refreshedWith.empty()); // the list is not re-read
}

TEST_F(TimestampWalk, CreationTimeOnlyTellsItCannotBeSet) {
    EXPECT_FALSE(
        changeTimestamps(ports(), dir.path(), "タイムスタンプ", kCreationTimeItem, moment));
    EXPECT_TRUE(prompter.asked.empty());
    ASSERT_EQ(prompter.noticed.size(), 1u);
    EXPECT_EQ(prompter.noticed[0].text, "この環境では作成日時を変更できません。");
    EXPECT_EQ(prompter.noticed[0].caption, "タイムスタンプ");
    EXPECT_EQ(timesOf(dir / "a.jpg").write.tv_sec, 2000);
    EXPECT_EQ(busy.begun, 0);
    EXPECT_EQ(previews, 0);
}

TEST_F(TimestampWalk, CancelAndAVanishedFile) {
    prompter.answer = false;
    EXPECT_FALSE(
        changeTimestamps(ports(), dir.path(), "タイムスタンプ", kLastWriteTimeItem, moment));
    EXPECT_EQ(timesOf(dir / "a.jpg").write.tv_sec, 2000);
    EXPECT_EQ(busy.begun, 0);

    prompter.answer = true;
    ::unlink((dir / "a.jpg").c_str());
    EXPECT_TRUE(
        changeTimestamps(ports(), dir.path(), "タイムスタンプ", kLastWriteTimeItem, moment));
    EXPECT_EQ(timesOf(dir / "c.jpg").write.tv_sec, utcSeconds(2005, 1, 15, 0, 30, 0));
    EXPECT_FALSE(std::filesystem::exists(dir / "a.jpg")); // not created by the open
}

} // namespace
} // namespace harpoly
