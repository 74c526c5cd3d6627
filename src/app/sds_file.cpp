#include "app/sds_file.hpp"

#include "platform/platform.hpp"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

namespace pelitor {
namespace fs = std::filesystem;

namespace {

constexpr int temporaryNameAttempts = 100;

std::string hexName(std::uint32_t value) {
    constexpr const char* digits = "0123456789abcdef";
    std::string name(8, '0');
    for (auto& digit : name) {
        digit = digits[value >> 28];
        value <<= 4;
    }
    return name;
}

Failure cannotCreate(std::string message) {
    return {FailureKind::cannotCreate, std::move(message)};
}

Failure writeFailed(int error) {
    return {FailureKind::writeFailed, std::string("writing failed: ") + std::strerror(error)};
}

} // namespace

SdsFile::SdsFile(fs::path output, std::string name, platform::CloseFunction close)
    : output_(std::move(output)), name_(std::move(name)), close_(close) {}

SdsFile::~SdsFile() {
    discard();
}

std::optional<Failure> SdsFile::open(std::uint64_t size) {
    if (auto why = refusal()) {
        return why;
    }
    return createTemporary(size);
}

std::optional<Failure> SdsFile::refusal() const {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(output_, error);
    if (!fs::exists(status)) {
        return std::nullopt;
    }
    if (!fs::is_regular_file(status)) {
        return cannotCreate("exists and is not a regular file; it is left as it is");
    }
    constexpr auto writable =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & writable) == fs::perms::none) {
        return cannotCreate("exists and is read-only; it is left as it is");
    }
    return std::nullopt;
}

std::optional<Failure> SdsFile::createTemporary(std::uint64_t size) {
    std::random_device random;
    for (int attempt = 0; attempt < temporaryNameAttempts; ++attempt) {
        fs::path candidate = output_;
        candidate += '.';
        candidate += hexName(random());
        candidate += ".tmp";
        file_ = platform::createExclusive(candidate);
        if (file_ != platform::invalidFile) {
            temporary_ = std::move(candidate);
            platform::removeOnInterrupt(temporary_, file_);
            platform::reserveSpace(file_, size);
            return std::nullopt;
        }
        if (errno != EEXIST) {
            return cannotCreate(std::string("cannot create a temporary file beside it: ") +
                                std::strerror(errno));
        }
    }
    return cannotCreate("cannot find a free temporary name beside it");
}

std::optional<Failure> SdsFile::write(std::span<const std::uint8_t> bytes) {
    if (!platform::writeAll(file_, bytes)) {
        return writeFailed(errno != 0 ? errno : EIO);
    }
    return std::nullopt;
}

std::optional<Failure> SdsFile::commit() {
    const bool closed = close_(file_);
    const int closeError = errno;
    file_ = platform::invalidFile;
    if (!closed) {
        discard();
        return writeFailed(closeError);
    }
    std::error_code renameError;
    fs::rename(temporary_, output_, renameError);
    if (renameError) {
        discard();
        return Failure{FailureKind::writeFailed,
                       "cannot put the output in place: " + renameError.message()};
    }
    platform::forgetOnInterrupt();
    temporary_.clear();
    return std::nullopt;
}

void SdsFile::discard() noexcept {
    if (file_ != platform::invalidFile) {
        platform::closeFile(file_);
        file_ = platform::invalidFile;
    }
    if (!temporary_.empty()) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
        platform::forgetOnInterrupt();
        temporary_.clear();
    }
}

} // namespace pelitor
