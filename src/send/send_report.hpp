#pragma once

#include "common/failure.hpp"
#include "send/send_status.hpp"

#include <ostream>
#include <string_view>

namespace pelitor::send {

// Errors go to standard error as one line: "pelitor-send: <file or port>: <what>". A usage
// error names the option in its message and has no subject.
inline void complain(std::ostream& errors, std::string_view subject, std::string_view what) {
    errors << "pelitor-send: ";
    if (!subject.empty()) {
        errors << subject << ": ";
    }
    errors << what << '\n' << std::flush;
}

// Reports a failure about `subject` and gives the status the run ends with.
inline int fail(std::ostream& errors, std::string_view subject, const Failure& failure) {
    complain(errors, subject, failure.message);
    return sendStatusFor(failure.kind);
}

} // namespace pelitor::send
