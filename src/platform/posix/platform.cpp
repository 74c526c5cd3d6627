#include "platform/platform.hpp"

#include "platform/system_io.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelitor::platform {

const std::string_view pathSeparators = "/";

std::vector<std::string> commandLine(int argc, char** argv) {
    return {argv, argv + argc};
}

std::filesystem::path toPath(const std::string& argument) {
    return argument;
}

std::string displayName(const std::string& argument) {
    return argument;
}

#if PELITOR_LINUX_CALLS
constexpr int directoryFlags = O_PATH | O_DIRECTORY | O_CLOEXEC; // needs no read permission
#else
constexpr int directoryFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

Directory::Directory(const std::filesystem::path& path)
    : path_(path), handle_(open(path.empty() ? "." : path.c_str(), directoryFlags)) {}

Directory::~Directory() {
    if (handle_ >= 0) {
        close(handle_);
    }
}

bool Directory::valid() const {
    return handle_ >= 0;
}

std::filesystem::path Directory::operator/(const std::filesystem::path& name) const {
    return path_.empty() ? name : path_ / name;
}

FileFacts inspect(const Directory& directory, const std::filesystem::path& name) {
    struct stat file {};
    struct stat folder {};
    if (fstatat(directory.handle(), name.c_str(), &file, AT_SYMLINK_NOFOLLOW) != 0 ||
        fstat(directory.handle(), &folder) != 0) {
        return {};
    }
    const uid_t user = geteuid();
    const bool regular = S_ISREG(file.st_mode);
    // The superuser may open any file for writing. A read-only file system is told when the
    // temporary file cannot be created there.
    const bool writeAllowed =
        regular &&
        (user == 0 || faccessat(directory.handle(), name.c_str(), W_OK, AT_EACCESS) == 0 ||
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

#if PELITOR_LINUX_CALLS
// The name under which the kernel shows an open file; it links to the file itself.
struct DescriptorPath {
    explicit DescriptorPath(FileHandle file) {
        std::snprintf(text, sizeof text, "/proc/self/fd/%d", file);
    }
    char text[32];
};
#endif

} // namespace

FileHandle createUnnamed(const Directory& directory) {
#if PELITOR_LINUX_CALLS
    const FileHandle file =
        openat(directory.handle(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, temporaryMode);
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
    return openat(directory.handle(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                  temporaryMode);
}

bool linkUnnamed(FileHandle file, const Directory& directory, const std::filesystem::path& name) {
#if PELITOR_LINUX_CALLS
    // Linking the descriptor itself (AT_EMPTY_PATH) needs a privilege on older kernels.
    return linkat(AT_FDCWD, DescriptorPath(file).text, directory.handle(), name.c_str(),
                  AT_SYMLINK_FOLLOW) == 0;
#else
    static_cast<void>(file);
    static_cast<void>(directory);
    static_cast<void>(name);
    errno = EOPNOTSUPP;
    return false;
#endif
}

bool renameWithin(const Directory& directory, const std::filesystem::path& from,
                  const std::filesystem::path& to) {
    return renameat(directory.handle(), from.c_str(), directory.handle(), to.c_str()) == 0;
}

void removeWithin(const Directory& directory, const std::filesystem::path& name) {
    unlinkat(directory.handle(), name.c_str(), 0);
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

long long writeSome(FileHandle file, const char* bytes, std::size_t count) {
    ssize_t written = 0;
    do {
        written = write(file, bytes, count);
    } while (written < 0 && errno == EINTR);
    return written;
}

bool closeFile(FileHandle file) {
    return close(file) == 0;
}

void reserveSpace(FileHandle file, std::uint64_t size) {
#if PELITOR_LINUX_CALLS
    if (size > 0) {
        posix_fallocate(file, 0, static_cast<off_t>(size));
    }
#else
    static_cast<void>(file);
    static_cast<void>(size);
#endif
}

void preferLargePages(void* buffer, std::size_t size) {
#if PELITOR_LINUX_CALLS
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

} // namespace pelitor::platform
