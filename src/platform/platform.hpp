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

// The characters that end a directory part in a path given on the command line: "/", and on
// Windows also "\\" and the drive's ":".
extern const std::string_view pathSeparators;

// The command line as UTF-8 on Windows (whatever the code page), as given elsewhere.
std::vector<std::string> commandLine(int argc, char** argv);

// A path named by a command-line argument.
std::filesystem::path toPath(const std::string& argument);

// A command-line argument as the console shows it: Windows consoles take the ANSI code page.
std::string displayName(const std::string& argument);

// A file descriptor; invalidFile where there is none.
using FileHandle = int;
inline constexpr FileHandle invalidFile = -1;

// The directory an output is written in. On POSIX it is held open and every file in it is
// named relative to it, so that a long path to it is paid once, when it is opened; on Windows
// files are named by their paths.
class Directory {
  public:
    // Opens the directory; valid() says whether that worked, errno why not.
    explicit Directory(const std::filesystem::path& path);
    ~Directory();
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;

    bool valid() const;
    // The system's handle of the open directory, where the system has one.
    FileHandle handle() const { return handle_; }
    // The path of a file in it.
    std::filesystem::path operator/(const std::filesystem::path& name) const;

  private:
    std::filesystem::path path_;
    FileHandle handle_ = invalidFile;
};

// What decides whether a file may be replaced by a new one, and what the new one inherits.
struct FileFacts {
    bool exists = false;
    bool regular = false;        // a plain file: not a link, directory or device
    unsigned permissions = 0;    // its 0777 bits
    bool writeAllowed = false;   // this user could open it for writing (the superuser can)
    bool replaceAllowed = false; // this user may rename over it (not so in a sticky directory
                                 // for a file of another user)
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
};

// The file of that name in the directory, not following a symbolic link; a name that
// cannot be looked up counts as absent.
FileFacts inspect(const Directory& directory, const std::filesystem::path& name);

// Creates a file for binary writing that has no name yet, for linkUnnamed to name once it
// is complete; invalidFile with errno set, EOPNOTSUPP where the file system cannot.
FileHandle createUnnamed(const Directory& directory);

// Creates a new file of that name for binary writing, readable and writable by this user
// only; invalidFile with errno set, EEXIST if anything of that name exists.
FileHandle createExclusive(const Directory& directory, const std::filesystem::path& name);

// Gives a file made by createUnnamed a name; false with errno set, EEXIST if it is taken.
bool linkUnnamed(FileHandle file, const Directory& directory, const std::filesystem::path& name);

// Renames `from` to `to` in the directory, replacing any file called `to`; false with errno
// set.
bool renameWithin(const Directory& directory, const std::filesystem::path& from,
                  const std::filesystem::path& to);

// Removes the file of that name from the directory.
void removeWithin(const Directory& directory, const std::filesystem::path& name);

// Gives a complete new file the permission bits of the file it replaces (and, for the
// superuser, its owner and group), or those of any new file under the umask. As editors do
// it: where the file system has no such permissions the file keeps what it has.
void setFinalPermissions(FileHandle file, const FileFacts& replaced);

// A second descriptor of the same file, invalidFile with errno set if there is none to spare.
FileHandle duplicateFile(FileHandle file);

// Writes all the bytes, or returns false with errno set.
bool writeAll(FileHandle file, std::span<const std::uint8_t> bytes);

// Closes the file; false with errno set if that reports an error.
bool closeFile(FileHandle file);
using CloseFunction = bool (*)(FileHandle file);

// Reserves disk space for a file about to be written with `size` bytes. Blocks allocated
// up front let a filesystem such as ext4 replace an earlier file by rename without first
// flushing the new one. A hint only: failures show, if at all, when writing.
void reserveSpace(FileHandle file, std::uint64_t size);

// Asks for a large buffer to be backed by large memory pages where the system offers them, so
// that filling it costs a few page faults instead of one per 4 KiB. A hint only.
void preferLargePages(void* buffer, std::size_t size);

// Whether both paths exist and name the same file, through links or other names.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace pelitor::platform
