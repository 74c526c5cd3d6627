#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace pelitor {

// A program's whole run after its name: the arguments in, the exit status out.
using ProgramRun = int (*)(std::span<const std::string> arguments, std::ostream& out,
                           std::ostream& errors);

// The main of pelitor-send and pelitor-receive: the closed standard streams reopened and the
// signal policy set up first, then the run; a lost standard output is told once, and an error
// that escapes the run ends it with status 74 after a line "<program>: <what>".
int consoleMain(int argc, char** argv, std::string_view program, ProgramRun run);

} // namespace pelitor
