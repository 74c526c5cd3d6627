#include "platform/file_read.hpp"

#include "platform/system_io.hpp"

#include <fcntl.h>
#include <io.h>

namespace pelitor::platform {

FileHandle openForReading(const std::filesystem::path& path) {
    return _wopen(path.c_str(), _O_RDONLY | _O_BINARY);
}

long long readSome(FileHandle file, std::uint64_t offset, std::span<std::uint8_t> into) {
    constexpr std::size_t largestRead = 1U << 30;
    if (_lseeki64(file, static_cast<long long>(offset), SEEK_SET) < 0) {
        return -1;
    }
    return _read(file, into.data(),
                 static_cast<unsigned>(into.size() < largestRead ? into.size() : largestRead));
}

} // namespace pelitor::platform
