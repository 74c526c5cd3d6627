#pragma once

#include "platform/platform.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelitor::receive {

// Whether an output of that name gets a dump's messages rather than a WAV: it ends in .sds or
// .syx, in any case.
bool isSdsName(std::string_view path);

// Where one decoded dump goes.
struct PlannedOutput {
    std::string path;
    bool sds = false;         // the dump's messages, else a WAV
    bool defaultName = false; // chosen by the program: it never replaces an existing file
};

// The outputs of `dumps` dumps (one or more) decoded from the file `dump`. Without `output`,
// each goes beside it under its name with ".wav" for its extension; into `output` under that
// name when it is a directory (`outputIsDirectory`, which only the file system knows) or ends
// in a separator; else to `output` itself. Several dumps are numbered from 1 after the name
// without its extension: bank.syx gives bank-1.wav, bank-2.wav, ...
std::vector<PlannedOutput> planOutputs(std::string_view dump,
                                       const std::optional<std::string>& output,
                                       bool outputIsDirectory, std::size_t dumps,
                                       std::string_view separators = platform::pathSeparators);

} // namespace pelitor::receive
