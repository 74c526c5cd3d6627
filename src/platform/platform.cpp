#include "platform/platform.hpp"

#include "platform/system_io.hpp"

namespace pelitor::platform {

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
