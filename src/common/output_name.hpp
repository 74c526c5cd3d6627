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

bool endsInSeparator(std::string_view path, std::string_view separators = platform::pathSeparators);

// Where -o puts the output: into `requested` when it is a directory (`isDirectory`, which only
// the file system knows) or ends in a separator, under the file name of the usual output;
// otherwise at `requested` itself.
std::string placeOutput(std::string_view usualOutput, std::string_view requested, bool isDirectory,
                        std::string_view separators = platform::pathSeparators);

} // namespace pelitor
