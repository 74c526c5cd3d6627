#include "platform/file_read.hpp"

#include "platform/system_io.hpp"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace pelitor::platform {

FileHandle openForReading(const std::filesystem::path& path) {
    return open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

long long readSome(FileHandle file, std::uint64_t offset, std::span<std::uint8_t> into) {
    ssize_t count = 0;
    do {
        count = pread(file, into.data(), into.size(), static_cast<off_t>(offset));
    } while (count < 0 && errno == EINTR);
    return count;
}

} // namespace pelitor::platform
