#pragma once

#include "platform/platform.hpp"

#include <string>
#include <string_view>

namespace pelitor {

// The .sds path beside the input: the last four bytes of the name (its ".wav", whatever they
// are) are replaced by ".sds"; a file name of four bytes or fewer keeps them and gets ".sds"
// added, so that the output never lands outside the input's directory, and so does a name
// whose last four bytes would split a UTF-8 character.
std::string makeOutputName(std::string_view inputPath,
                           std::string_view separators = platform::pathSeparators);

} // namespace pelitor
