#include "core/platform/time_zone.h"

#include <ctime>

namespace harpoly {

int standardOffsetHours() {
    ::tzset();
    // `timezone` holds the standard time's seconds west of UTC; C++ division
    // truncates toward zero, which drops a half hour whichever side it is on.
    return static_cast<int>(::timezone / 3600);
}

} // namespace harpoly
