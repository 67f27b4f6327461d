#include "playback/show_clock.h"

#include <memory>

namespace spirelo {

ShowClock& ShowClockInstance() {
    static auto* instance = new ShowClock();   // lives for the whole run, like the other tables
    return *instance;
}

}  // namespace spirelo
