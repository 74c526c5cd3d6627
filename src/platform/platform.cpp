#include "platform/platform.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#else
#include <climits>
#include <fcntl.h>
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

FileHandle createExclusive(const std::filesystem::path& path) {
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
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

namespace {

wchar_t pendingRemoval[32768];
FileHandle pendingFile = invalidFile;

// Windows runs this on a thread of its own; an open file cannot be deleted there.
void removePending(int signal) {
    _close(pendingFile);
    DeleteFileW(pendingRemoval);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void removeOnInterrupt(const std::filesystem::path& path, FileHandle file) {
    wcsncpy(pendingRemoval, path.c_str(), std::size(pendingRemoval) - 1);
    pendingFile = file;
    for (int signal : {SIGINT, SIGTERM, SIGBREAK}) {
        std::signal(signal, removePending);
    }
}

void forgetOnInterrupt() {
    for (int signal : {SIGINT, SIGTERM, SIGBREAK}) {
        std::signal(signal, SIG_DFL);
    }
    pendingRemoval[0] = L'\0';
}

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

FileHandle createExclusive(const std::filesystem::path& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

namespace {

char pendingRemoval[PATH_MAX];

extern "C" void removePending(int signal) {
    unlink(pendingRemoval); // async-signal-safe, unlike anything that allocates
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void removeOnInterrupt(const std::filesystem::path& path, FileHandle) {
    std::strncpy(pendingRemoval, path.c_str(), sizeof pendingRemoval - 1);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        std::signal(signal, removePending);
    }
}

void forgetOnInterrupt() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        std::signal(signal, SIG_DFL);
    }
    pendingRemoval[0] = '\0';
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
