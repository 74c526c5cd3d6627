#pragma once

#include "app/conversion_options.hpp"
#include "common/command_line.hpp"
#include "common/failure.hpp"

namespace pelitor {

// "off", "wav", "auto" or "START:END", word numbers counted from 0 and both included.
Result<LoopRequest> loopRequest(const GivenOption& option);

// What --loop's help says of each of its values, in every program that takes it.
inline constexpr HelpLine loopHelp[] = {
    {"off", "no loop (loop type 7F)"},
    {"START:END", "a forward loop over the sample words START to END"},
    {"wav", "the first loop of the WAV file's smpl chunk"},
    {"auto", "that loop if the file has one, otherwise off; a loop"},
    {"", "that SDS cannot play is refused as with wav"}};

} // namespace pelitor
