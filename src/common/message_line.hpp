#pragma once

#include <ostream>
#include <string_view>

namespace pelitor {

// Errors and warnings go to standard error as one line: "<program>: <subject>: <what>", where
// the subject is the file or port concerned. A usage error names the option in its message and
// has no subject: "<program>: <what>".
inline void writeMessageLine(std::ostream& errors, std::string_view program,
                             std::string_view subject, std::string_view what) {
    errors << program << ": ";
    if (!subject.empty()) {
        errors << subject << ": ";
    }
    errors << what << '\n' << std::flush;
}

} // namespace pelitor
