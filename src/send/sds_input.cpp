#include "send/sds_input.hpp"

#include "platform/file_read.hpp"
#include "sds/sds_stream.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace pelitor::send {
namespace {

// "RIFF", the chunk's size, "WAVE": what starts a WAV file, whatever its name.
bool isWavFile(std::span<const std::uint8_t> bytes) {
    const auto holds = [&](std::size_t at, std::string_view id) {
        return bytes.size() >= at + id.size() &&
               std::equal(id.begin(), id.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    };
    return holds(0, "RIFF") && holds(8, "WAVE");
}

} // namespace

Result<SdsFile> readSdsFile(const std::string& path) {
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
    bytes.shrink_to_fit(); // a set holds every file's bytes at once
    if (isWavFile(bytes)) {
        return SdsFile{{}, 0, true};
    }
    std::uint64_t size = bytes.size();
    if (size > longestSdsStream) {
        // Too long to be valid: how much longer, the file's size tells without reading it all.
        // A device has none, and fails the check on what was read.
        const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
        if (!error) {
            size = std::max<std::uint64_t>(size, fileSize);
        }
    }
    return SdsFile{std::move(bytes), size};
}

} // namespace pelitor::send
