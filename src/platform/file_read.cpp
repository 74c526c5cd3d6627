#include "platform/file_read.hpp"

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pelitor::platform {

#ifdef _WIN32

FileHandle openForReading(const std::filesystem::path& path) {
    return _wopen(path.c_str(), _O_RDONLY | _O_BINARY);
}

namespace {

// Reads some of the bytes: how many, 0 at the end of the file, or -1 with errno set.
long long readSome(FileHandle file, std::uint64_t offset, std::span<std::uint8_t> into) {
    constexpr std::size_t largestRead = 1U << 30;
    if (_lseeki64(file, static_cast<long long>(offset), SEEK_SET) < 0) {
        return -1;
    }
    return _read(file, into.data(),
                 static_cast<unsigned>(into.size() < largestRead ? into.size() : largestRead));
}

} // namespace

#else

FileHandle openForReading(const std::filesystem::path& path) {
    return open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

namespace {

// Reads some of the bytes: how many, 0 at the end of the file, or -1 with errno set.
long long readSome(FileHandle file, std::uint64_t offset, std::span<std::uint8_t> into) {
    ssize_t count = 0;
    do {
        count = pread(file, into.data(), into.size(), static_cast<off_t>(offset));
    } while (count < 0 && errno == EINTR);
    return count;
}

} // namespace

#endif

long long readAt(FileHandle file, std::uint64_t offset, std::span<std::uint8_t> into) {
    std::size_t filled = 0;
    while (filled < into.size()) {
        const long long count = readSome(file, offset + filled, into.subspan(filled));
        if (count < 0) {
            return -1;
        }
        if (count == 0) {
            break; // the end of the file
        }
        filled += static_cast<std::size_t>(count);
    }
    return static_cast<long long>(filled);
}

} // namespace pelitor::platform
