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

long long readAt(FileHandle file, std::uint64_t offset, std::span<std::uint8_t> into) {
    constexpr std::size_t largestRead = 1U << 30;
    if (_lseeki64(file, static_cast<long long>(offset), SEEK_SET) < 0) {
        return -1;
    }
    return _read(file, into.data(),
                 static_cast<unsigned>(into.size() < largestRead ? into.size() : largestRead));
}

#else

FileHandle openForReading(const std::filesystem::path& path) {
    return open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

long long readAt(FileHandle file, std::uint64_t offset, std::span<std::uint8_t> into) {
    ssize_t count = 0;
    do {
        count = pread(file, into.data(), into.size(), static_cast<off_t>(offset));
    } while (count < 0 && errno == EINTR);
    return count;
}

#endif

} // namespace pelitor::platform
