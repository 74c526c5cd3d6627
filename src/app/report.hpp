#pragma once

#include "app/exit_status.hpp"
#include "common/failure.hpp"
#include "common/failure_report.hpp"
#include "common/message_line.hpp"

#include <ostream>
#include <string_view>

namespace pelitor {

// "pelitor: <path>: <what>"; a usage error has no path.
inline void warn(std::ostream& errors, std::string_view path, std::string_view what) {
    writeMessageLine(errors, "pelitor", path, what);
}

// Reports a failure about `path` and gives the status that the run ends with. Every failure
// ends here, except the two the program has always reported in its own words: "bad new!!"
// (the conversion, which adds a warning with the size) and out of memory anywhere else
// (runProgram).
inline int fail(std::ostream& errors, std::string_view path, const Failure& failure) {
    return reportFailure(errors, "pelitor", path, failure);
}

} // namespace pelitor
