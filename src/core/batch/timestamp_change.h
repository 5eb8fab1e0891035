#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace harpoly {

class FileListPort;
class Prompter;
class BusyIndicator;

// A local date and time of day as the two pickers hold them.
struct LocalMoment {
    int year = 1970, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

struct UtcMoment {
    std::int64_t seconds = 0; // since 1970-01-01 00:00:00 UTC
    long nanoseconds = 0;
};

// The local moment plus the standard-time offset in whole hours (see
// standardOffsetHours); daylight saving time plays no part.
UtcMoment toUtc(const LocalMoment& local, int offsetHours);

// setWriteTime(path, seconds, nanoseconds): the program passes setLastWriteTime.
using SetWriteTimeFn =
    std::function<bool(const std::string& path, std::int64_t seconds, long nanoseconds)>;

struct TimestampPorts {
    FileListPort& list;
    Prompter& prompter;
    BusyIndicator& busy;
    SetWriteTimeFn setWriteTime;
    std::function<void()> previewCurrent; // shows the current file again
};

// The choices of the time kind list.
inline constexpr int kCreationTimeItem = 0;  // "作成日時"
inline constexpr int kLastWriteTimeItem = 1; // "更新日時"

// Sets the last-write time of every selected file of `folder` to `moment`,
// after asking "選択ファイルの更新日時を変更しますか?" under `caption`; one progress
// step per list entry; a file that cannot be opened for writing keeps its
// times, silently; the current file is previewed again at the end (the list is
// not re-read). The creation time cannot be set on this system: that choice
// only tells so and touches nothing. Returns whether the walk ran.
bool changeTimestamps(const TimestampPorts& ports, const std::string& folder,
                      const std::string& caption, int kindItem, const UtcMoment& moment);

} // namespace harpoly
