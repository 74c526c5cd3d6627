#pragma once

#include "wav/wav_listing.hpp"

#include <ostream>

namespace pelitor {

// Where the run talks to the person: the listing and progress on `out`, one line per error or
// warning on `errors`.
struct Console {
    std::ostream& out;
    std::ostream& errors;
    bool liveProgress = false; // flush every progress mark, for a person watching a terminal
    LabelText labels = LabelText::shiftJis; // UTF-8 only where `out` shows it as text
    bool quiet = false;                     // of the conversion's output, only "bad new!!"
};

} // namespace pelitor
