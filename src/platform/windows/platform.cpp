#include "platform/platform.hpp"

#include "platform/system_io.hpp"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

namespace pelitor::platform {

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

const std::string_view pathSeparators = "/\\:";

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

long long writeSome(FileHandle file, const char* bytes, std::size_t count) {
    constexpr std::size_t largestWrite = 1U << 30;
    return _write(file, bytes, static_cast<unsigned>(count < largestWrite ? count : largestWrite));
}

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

} // namespace pelitor::platform
