#include "app/input_file.hpp"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace pelitor {
namespace fs = std::filesystem;

Result<std::unique_ptr<InputFile>> InputFile::open(const fs::path& path) {
    const auto unreadable = [](std::string message) {
        return Failure{FailureKind::unreadable, std::move(message)};
    };
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
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return unreadable(std::strerror(errno));
    }
    const std::uint64_t size = fs::file_size(path, error);
    if (error) {
        return unreadable(error.message());
    }
    return std::unique_ptr<InputFile>(new InputFile(std::move(stream), size));
}

std::size_t InputFile::read(std::uint64_t offset, std::span<std::uint8_t> into) {
    stream_.clear(); // a read that met the end of the file leaves the stream failed
    stream_.seekg(static_cast<std::streamoff>(offset));
    stream_.read(reinterpret_cast<char*>(into.data()), static_cast<std::streamsize>(into.size()));
    return static_cast<std::size_t>(stream_.gcount());
}

} // namespace pelitor
