#include "platform/platform.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pelitor::platform {

#ifdef _WIN32

namespace {

std::wstring wide(const std::string& utf8) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
    return text;
}

std::string narrow(const std::wstring& text, unsigned codePage) {
    const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

} // namespace

std::vector<std::string> commandLine(int, char**) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> utf8;
    for (int i = 0; i < count; ++i) {
        utf8.push_back(narrow(arguments[i], CP_UTF8));
    }
    LocalFree(arguments);
    return utf8;
}

std::filesystem::path toPath(const std::string& argument) {
    return std::filesystem::path(wide(argument));
}

std::string displayName(const std::string& argument) {
    return narrow(wide(argument), CP_ACP);
}

bool stdoutIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}

bool stderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

Directory::Directory(const std::filesystem::path& path) : path_(path) {}

Directory::~Directory() = default;

bool Directory::valid() const {
    return true;
}

std::filesystem::path Directory::operator/(const std::filesystem::path& name) const {
    return path_.empty() ? name : path_ / name;
}

FileFacts inspect(const Directory& directory, const std::filesystem::path& name) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(directory / name, error);
    if (!fs::exists(status)) {
        return {};
    }
    const auto permissions = static_cast<unsigned>(status.permissions() & fs::perms::all);
    // Windows has a read-only attribute and no owners to tell apart.
    return {.exists = true,
            .regular = fs::is_regular_file(status),
            .permissions = permissions,
            .writeAllowed = (permissions & 0222U) != 0,
            .replaceAllowed = true};
}

FileHandle createUnnamed(const Directory&) {
    errno = EOPNOTSUPP;
    return invalidFile;
}

FileHandle createExclusive(const Directory& directory, const std::filesystem::path& name) {
    return _wopen((directory / name).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                  _S_IREAD | _S_IWRITE);
}

bool linkUnnamed(FileHandle, const Directory&, const std::filesystem::path&) {
    errno = EOPNOTSUPP;
    return false;
}

bool renameWithin(const Directory& directory, const std::filesystem::path& from,
                  const std::filesystem::path& to) {
    std::error_code error;
    std::filesystem::rename(directory / from, directory / to, error);
    errno = error.default_error_condition().value(); // a Windows error as its errno
    return !error;
}

void removeWithin(const Directory& directory, const std::filesystem::path& name) {
    std::error_code ignored;
    std::filesystem::remove(directory / name, ignored);
}

void setFinalPermissions(FileHandle, const FileFacts&) {}

FileHandle duplicateFile(FileHandle file) {
    return _dup(file);
}

namespace {

// Writes some of the bytes; returns how many, or a negative number with errno set.
long long writeSome(FileHandle file, const char* bytes, std::size_t count) {
    constexpr std::size_t largestWrite = 1U << 30;
    return _write(file, bytes, static_cast<unsigned>(count < largestWrite ? count : largestWrite));
}

} // namespace

bool closeFile(FileHandle file) {
    return _close(file) == 0;
}

void reserveSpace(FileHandle, std::uint64_t) {}

void preferLargePages(void*, std::size_t) {}

namespace {

struct FileId {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
};

bool identify(const std::filesystem::path& path, FileId& id) {
    const HANDLE handle =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return ok;
}

} // namespace

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    FileId first;
    FileId second;
    return identify(a, first) && identify(b, second) && first.volume == second.volume &&
           first.indexHigh == second.indexHigh && first.indexLow == second.indexLow;
}

#else

std::vector<std::string> commandLine(int argc, char** argv) {
    return {argv, argv + argc};
}

std::filesystem::path toPath(const std::string& argument) {
    return argument;
}

std::string displayName(const std::string& argument) {
    return argument;
}

bool stdoutIsTerminal() {
    return isatty(STDOUT_FILENO) != 0;
}

bool stderrIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

#ifdef O_PATH
constexpr int directoryFlags = O_PATH | O_DIRECTORY | O_CLOEXEC; // needs no read permission
#else
constexpr int directoryFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

Directory::Directory(const std::filesystem::path& path)
    : descriptor_(open(path.empty() ? "." : path.c_str(), directoryFlags)) {}

Directory::~Directory() {
    if (descriptor_ >= 0) {
        close(descriptor_);
    }
}

bool Directory::valid() const {
    return descriptor_ >= 0;
}

FileFacts inspect(const Directory& directory, const std::filesystem::path& name) {
    struct stat file {};
    struct stat folder {};
    if (fstatat(directory.descriptor(), name.c_str(), &file, AT_SYMLINK_NOFOLLOW) != 0 ||
        fstat(directory.descriptor(), &folder) != 0) {
        return {};
    }
    const uid_t user = geteuid();
    const bool regular = S_ISREG(file.st_mode);
    // The superuser may open any file for writing. A read-only file system is told when the
    // temporary file cannot be created there.
    const bool writeAllowed =
        regular &&
        (user == 0 || faccessat(directory.descriptor(), name.c_str(), W_OK, AT_EACCESS) == 0 ||
         errno == EROFS);
    return {.exists = true,
            .regular = regular,
            .permissions = static_cast<unsigned>(file.st_mode & 0777),
            .writeAllowed = writeAllowed,
            // The superuser stands for whoever may override the sticky bit.
            .replaceAllowed = (folder.st_mode & S_ISVTX) == 0 || user == 0 || file.st_uid == user ||
                              folder.st_uid == user,
            .owner = file.st_uid,
            .group = file.st_gid};
}

namespace {

constexpr mode_t temporaryMode = 0600; // no one else reads a file before it is complete

// The name under which the kernel shows an open file; it links to the file itself.
struct DescriptorPath {
    explicit DescriptorPath(FileHandle file) {
        std::snprintf(text, sizeof text, "/proc/self/fd/%d", file);
    }
    char text[32];
};

} // namespace

FileHandle createUnnamed(const Directory& directory) {
#ifdef O_TMPFILE
    const FileHandle file =
        openat(directory.descriptor(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, temporaryMode);
    if (file == invalidFile) {
        // Kernels that do not know O_TMPFILE take it for a directory open.
        if (errno == EISDIR || errno == EINVAL) {
            errno = EOPNOTSUPP;
        }
        return invalidFile;
    }
    // Naming the file goes through /proc; without /proc it could never be named.
    if (faccessat(AT_FDCWD, DescriptorPath(file).text, F_OK, 0) != 0) {
        close(file);
        errno = EOPNOTSUPP;
        return invalidFile;
    }
    return file;
#else
    static_cast<void>(directory);
    errno = EOPNOTSUPP;
    return invalidFile;
#endif
}

FileHandle createExclusive(const Directory& directory, const std::filesystem::path& name) {
    return openat(directory.descriptor(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                  temporaryMode);
}

bool linkUnnamed(FileHandle file, const Directory& directory, const std::filesystem::path& name) {
    // Linking the descriptor itself (AT_EMPTY_PATH) needs a privilege on older kernels.
    return linkat(AT_FDCWD, DescriptorPath(file).text, directory.descriptor(), name.c_str(),
                  AT_SYMLINK_FOLLOW) == 0;
}

bool renameWithin(const Directory& directory, const std::filesystem::path& from,
                  const std::filesystem::path& to) {
    return renameat(directory.descriptor(), from.c_str(), directory.descriptor(), to.c_str()) == 0;
}

void removeWithin(const Directory& directory, const std::filesystem::path& name) {
    unlinkat(directory.descriptor(), name.c_str(), 0);
}

void setFinalPermissions(FileHandle file, const FileFacts& replaced) {
    // Failures are left alone: a file system without owners or modes (FAT) keeps its own.
    if (!replaced.exists) {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(file, 0666 & ~mask);
        return;
    }
    if (geteuid() == 0) {
        // A user's file replaced by the superuser stays the user's.
        static_cast<void>(fchown(file, replaced.owner, replaced.group));
    }
    fchmod(file, static_cast<mode_t>(replaced.permissions));
}

FileHandle duplicateFile(FileHandle file) {
    return fcntl(file, F_DUPFD_CLOEXEC, 3);
}

namespace {

// Writes some of the bytes; returns how many, or a negative number with errno set.
long long writeSome(FileHandle file, const char* bytes, std::size_t count) {
    ssize_t written = 0;
    do {
        written = write(file, bytes, count);
    } while (written < 0 && errno == EINTR);
    return written;
}

} // namespace

bool closeFile(FileHandle file) {
    return close(file) == 0;
}

void reserveSpace(FileHandle file, std::uint64_t size) {
    if (size > 0) {
        posix_fallocate(file, 0, static_cast<off_t>(size));
    }
}

void preferLargePages(void* buffer, std::size_t size) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t largePage = 2U << 20;
    const auto start =
        (reinterpret_cast<std::uintptr_t>(buffer) + largePage - 1) & ~(largePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(buffer) + size) & ~(largePage - 1);
    if (start < end) {
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
#else
    (void)buffer;
    (void)size;
#endif
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

#endif

bool writeAll(FileHandle file, std::span<const std::uint8_t> data) {
    // Raw descriptors: a write reaches the system when it is made, with no buffer in between.
    auto bytes = reinterpret_cast<const char*>(data.data());
    std::size_t count = data.size();
    while (count > 0) {
        const long long written = writeSome(file, bytes, count);
        if (written <= 0) {
            return false;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace pelitor::platform
