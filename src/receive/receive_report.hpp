#pragma once

#include "common/exit_status.hpp"
#include "common/failure.hpp"
#include "common/failure_report.hpp"
#include "common/message_line.hpp"

#include <ostream>
#include <string_view>

namespace pelitor::receive {

// "pelitor-receive: <file or port>: <what>"; a usage error has no subject.
inline void complain(std::ostream& errors, std::string_view subject, std::string_view what) {
    writeMessageLine(errors, "pelitor-receive", subject, what);
}

// The one place a failure becomes its line and the status the run ends with.
inline int fail(std::ostream& errors, std::string_view subject, const Failure& failure) {
    return reportFailure(errors, "pelitor-receive", subject, failure);
}

} // namespace pelitor::receive
