#pragma once

#include <ostream>
#include <string_view>

namespace pelitor {

// Errors and warnings go to standard error as one line: "pelitor: <path>: <what>".
inline void report(std::ostream& errors, std::string_view path, std::string_view what) {
    errors << "pelitor: " << path << ": " << what << '\n' << std::flush;
}

} // namespace pelitor
