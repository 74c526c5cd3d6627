#include "receive/dump_file.hpp"

#include "platform/file_read.hpp"
#include "platform/platform.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace pelitor::receive {

Result<std::vector<std::uint8_t>> readDumpFile(const std::string& path) {
    const auto unreadable = [](std::string message) {
        return Failure{FailureKind::noInput, std::move(message)};
    };
    const std::filesystem::path file = platform::toPath(path);
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        return unreadable("is a directory, not a dump");
    }
    const platform::FileHandle handle = platform::openForReading(file);
    if (handle == platform::invalidFile) {
        return unreadable(std::strerror(errno));
    }
    // To the end, however long, in steps.
    constexpr std::size_t chunk = 1 << 20;
    std::vector<std::uint8_t> bytes;
    long long count = 0;
    do {
        const std::size_t at = bytes.size();
        bytes.resize(at + chunk);
        count = platform::readAt(handle, at, std::span(bytes).subspan(at));
        bytes.resize(at + static_cast<std::size_t>(count < 0 ? 0 : count));
    } while (count == static_cast<long long>(chunk));
    const int readError = errno;
    platform::closeFile(handle);
    if (count < 0) {
        return unreadable(std::string("reading failed: ") + std::strerror(readError));
    }
    return bytes;
}

} // namespace pelitor::receive
