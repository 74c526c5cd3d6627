#pragma once

#include <ostream>

namespace pelitor {

// Where the run talks to the person: the listing and progress on `out`, one line per error or
// warning on `errors`.
struct Console {
    std::ostream& out;
    std::ostream& errors;
    bool liveProgress = false; // flush every progress mark, for a person watching a terminal
};

} // namespace pelitor
