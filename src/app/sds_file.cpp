#include "app/sds_file.hpp"

#include "app/platform.hpp"

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

} // namespace

SdsFile::SdsFile(fs::path output, std::string name, fs::path input)
    : output_(std::move(output)), name_(std::move(name)), input_(std::move(input)) {}

SdsFile::~SdsFile() {
    discard();
}

std::optional<std::string> SdsFile::open(std::uint64_t size) {
    if (auto why = refusal()) {
        return why;
    }
    return createTemporary(size);
}

std::optional<std::string> SdsFile::refusal() const {
    if (platform::sameFile(input_, output_)) {
        return "is the input file itself; rename the input so that its output name differs";
    }
    std::error_code error;
    const fs::file_status status = fs::symlink_status(output_, error);
    if (!fs::exists(status)) {
        return std::nullopt;
    }
    if (!fs::is_regular_file(status)) {
        return "exists and is not a regular file; it is left as it is";
    }
    constexpr auto writable =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & writable) == fs::perms::none) {
        return "exists and is read-only; it is left as it is";
    }
    return std::nullopt;
}

std::optional<std::string> SdsFile::createTemporary(std::uint64_t size) {
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
            sink_ = std::make_unique<FileSink>(file_);
            stream_.rdbuf(sink_.get());
            return std::nullopt;
        }
        if (errno != EEXIST) {
            return std::string("cannot create a temporary file beside it: ") + std::strerror(errno);
        }
    }
    return std::string("cannot find a free temporary name beside it");
}

std::optional<std::string> SdsFile::commit() {
    stream_.flush();
    int error = sink_->error();
    if (!platform::closeFile(file_) && error == 0) {
        error = errno;
    }
    file_ = platform::invalidFile;
    stream_.rdbuf(nullptr);
    if (error != 0) {
        discard();
        return std::string("writing failed: ") + std::strerror(error);
    }
    std::error_code renameError;
    fs::rename(temporary_, output_, renameError);
    if (renameError) {
        discard();
        return "cannot put the output in place: " + renameError.message();
    }
    platform::forgetOnInterrupt();
    temporary_.clear();
    return std::nullopt;
}

void SdsFile::discard() noexcept {
    if (file_ != platform::invalidFile) {
        platform::closeFile(file_);
        file_ = platform::invalidFile;
        stream_.rdbuf(nullptr);
    }
    if (!temporary_.empty()) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
        platform::forgetOnInterrupt();
        temporary_.clear();
    }
}

} // namespace pelitor
