#pragma once

#include "common/exit_status.hpp"
#include "common/failure.hpp"
#include "common/message_line.hpp"

#include <ostream>
#include <string_view>

namespace pelitor {

// A failure about `subject` as `program`'s one line on standard error, and the status the run
// ends with; each program's own fail() names it.
inline int reportFailure(std::ostream& errors, std::string_view program, std::string_view subject,
                         const Failure& failure) {
    writeMessageLine(errors, program, subject, failure.message);
    return exitStatusFor(failure.kind);
}

} // namespace pelitor
