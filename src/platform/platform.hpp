#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
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

// A file descriptor opened for writing; invalidFile where there is none.
using FileHandle = int;
inline constexpr FileHandle invalidFile = -1;

// Creates a new file for binary writing, failing (with errno set) if anything of that name
// exists.
FileHandle createExclusive(const std::filesystem::path& path);

// Writes all the bytes, or returns false with errno set.
bool writeAll(FileHandle file, std::span<const std::uint8_t> bytes);

// Closes the file; false with errno set if that reports an error.
bool closeFile(FileHandle file);
using CloseFunction = bool (*)(FileHandle file);

// Reserves disk space for a file about to be written with `size` bytes. Blocks allocated
// up front let a filesystem such as ext4 replace an earlier file by rename without first
// flushing the new one. A hint only: failures show, if at all, when writing.
void reserveSpace(FileHandle file, std::uint64_t size);

// Has the file removed if the program is interrupted (Ctrl-C) or terminated while it is being
// written, so that no half-written temporary file is left behind; forgetOnInterrupt ends that.
void removeOnInterrupt(const std::filesystem::path& path, FileHandle file);
void forgetOnInterrupt();

// Whether both paths exist and name the same file, through links or other names.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace pelitor::platform
