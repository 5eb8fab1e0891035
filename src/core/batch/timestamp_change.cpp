#include "core/batch/timestamp_change.h"

#include "core/app/confirm.h"
#include "core/app/ui_ports.h"
#include "core/batch/batch_ports.h"
#include "core/browse/file_list_port.h"

namespace harpoly {

namespace {

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

} // namespace

UtcMoment toUtc(const LocalMoment& local, int offsetHours) {
    UtcMoment utc;
    utc.seconds = daysFromCivil(local.year, local.month, local.day) * 86400 +
                  std::int64_t{local.hour} * 3600 + local.minute * 60 + local.second +
                  std::int64_t{offsetHours} * 3600;
    utc.nanoseconds = static_cast<long>(local.millisecond) * 1000000L;
    return utc;
}

bool changeTimestamps(const TimestampPorts& ports, const std::string& folder,
                      const std::string& caption, int kindItem, const UtcMoment& moment) {
    if (kindItem == kCreationTimeItem) {
        ports.prompter.notice("この環境では作成日時を変更できません。", caption);
        return false;
    }
    FileListPort& list = ports.list;
    if (!ConfirmAction(ports.prompter, list, "選択ファイルの更新日時を変更しますか?", caption,
                       true)) {
        return false;
    }
    ports.busy.begin(list.count());
    for (int i = 0; i < list.count(); ++i) {
        if (list.isSelected(i)) {
            // A file that cannot be opened for writing keeps its times; the
            // walk goes on without a message.
            (void)ports.setWriteTime(pathInFolder(folder, list.name(i)), moment.seconds,
                                     moment.nanoseconds);
        }
        ports.busy.step();
    }
    ports.busy.end();
    if (ports.previewCurrent) {
        ports.previewCurrent();
    }
    return true;
}

} // namespace harpoly
