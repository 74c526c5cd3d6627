#include "send/sds_input.hpp"

#include "sds/sds_stream.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace pelitor::send {

Result<std::vector<std::uint8_t>> readSdsFile(const std::string& path) {
    const auto unreadable = [](std::string message) {
        return Failure{FailureKind::unreadable, std::move(message)};
    };
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) {
        return unreadable(error.message());
    }
    if (std::filesystem::is_directory(status)) {
        return unreadable("is a directory, not an .sds file");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return unreadable(std::strerror(errno));
    }
    std::vector<std::uint8_t> bytes(longestSdsStream + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        return unreadable(std::strerror(errno));
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

} // namespace pelitor::send
