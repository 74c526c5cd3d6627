#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The few things a portable console tool needs that standard C++ does not offer.
namespace pelitor::platform {

// The characters that end a directory part in a path given on the command line.
#ifdef _WIN32
inline constexpr std::string_view pathSeparators = "/\\:";
#else
inline constexpr std::string_view pathSeparators = "/";
#endif

// The command line as UTF-8 on Windows (whatever the code page), as given elsewhere.
std::vector<std::string> commandLine(int argc, char** argv);

// A path named by a command-line argument.
std::filesystem::path toPath(const std::string& argument);

// A command-line argument as the console shows it: Windows consoles take the ANSI code page.
std::string displayName(const std::string& argument);

// Whether standard output is an interactive terminal (progress is then shown as it happens).
bool stdoutIsTerminal();

// Creates a new file for binary writing, failing (with errno set) if anything of that name
// exists. Returns nullptr on failure.
std::FILE* createExclusive(const std::filesystem::path& path);

// Whether both paths exist and name the same file, through links or other names.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace pelitor::platform
