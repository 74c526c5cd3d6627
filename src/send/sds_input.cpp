#include "send/sds_input.hpp"

#include "platform/file_read.hpp"
#include "sds/sds_stream.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace pelitor::send {

Result<std::vector<std::uint8_t>> readSdsFile(const std::string& path) {
    const auto unreadable = [](std::string message) {
        return Failure{FailureKind::noInput, std::move(message)};
    };
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) {
        return unreadable(error.message());
    }
    if (std::filesystem::is_directory(status)) {
        return unreadable("is a directory, not an .sds file");
    }
    const platform::FileHandle file = platform::openForReading(path);
    if (file == platform::invalidFile) {
        return unreadable(std::strerror(errno));
    }
    // One byte more than the longest valid stream, so that a longer file shows as such.
    std::vector<std::uint8_t> bytes(longestSdsStream + 1);
    const long long count = platform::readAt(file, 0, bytes);
    const int readError = errno;
    platform::closeFile(file);
    if (count < 0) {
        return unreadable(std::string("reading failed: ") + std::strerror(readError));
    }
    bytes.resize(static_cast<std::size_t>(count));
    return bytes;
}

} // namespace pelitor::send
