#pragma once

namespace harpoly {

// The local zone's standard-time offset in whole hours to add to a local
// moment to get UTC (JST-9 gives -9, EST5EDT gives 5, IST-5:30 gives -5: the
// part of an hour is dropped, toward zero). Daylight saving time plays no
// part. Reads TZ afresh (tzset), else the system zone.
int standardOffsetHours();

} // namespace harpoly
