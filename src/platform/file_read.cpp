#include "platform/file_read.hpp"

#include "platform/system_io.hpp"

namespace pelitor::platform {

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
