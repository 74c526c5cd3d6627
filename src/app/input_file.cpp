#include "app/input_file.hpp"

#include "platform/file_read.hpp"

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

namespace pelitor {
namespace fs = std::filesystem;

namespace {

Failure unreadable(std::string message) {
    return {FailureKind::noInput, std::move(message)};
}

} // namespace

Result<std::unique_ptr<InputFile>> InputFile::open(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error) {
        return unreadable(error.message());
    }
    if (fs::is_directory(status)) {
        return unreadable("is a directory, not a WAV file");
    }
    if (!fs::is_regular_file(status)) {
        return unreadable("is not a regular file");
    }
    const platform::FileHandle file = platform::openForReading(path);
    if (file == platform::invalidFile) {
        return unreadable(std::strerror(errno));
    }
    std::unique_ptr<InputFile> input(new InputFile(file, 0));
    input->size_ = fs::file_size(path, error);
    if (error) {
        return unreadable(error.message());
    }
    return input;
}

InputFile::~InputFile() {
    platform::closeFile(file_);
}

Result<std::size_t> InputFile::read(std::uint64_t offset, std::span<std::uint8_t> into) {
    const long long count = platform::readAt(file_, offset, into);
    if (count < 0) {
        return unreadable(std::string("reading failed: ") + std::strerror(errno));
    }
    return static_cast<std::size_t>(count);
}

} // namespace pelitor
