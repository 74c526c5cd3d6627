#pragma once

#include <ostream>
#include <string>
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

// A file or port named on the command line, as a message names it: an empty name is shown
// quoted, since a message without one would not say what it is about.
inline std::string subjectName(std::string_view argument) {
    return argument.empty() ? "''" : std::string(argument);
}

} // namespace pelitor
