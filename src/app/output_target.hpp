#pragma once

#include "common/failure.hpp"

#include <filesystem>
#include <optional>
#include <string>

namespace pelitor {

// Where one run's .sds goes, and what messages call it.
struct OutputTarget {
    std::filesystem::path path;
    std::string name;
    // The input itself: refused like any other output that cannot be created, once the input
    // is known to convert.
    std::optional<Failure> isInput;
    // An -o that names no place for a file, refused as soon as the input opens; `name` is then
    // the -o argument.
    std::optional<Failure> refusal;
};

// The output beside `input` (as given on the command line), or where `requested` (-o) puts it.
OutputTarget decideOutput(const std::string& input, const std::optional<std::string>& requested);

} // namespace pelitor
