#include "common/atomic_file.hpp"

#include "platform/platform.hpp"
#include "platform/process.hpp"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

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

// A short fixed prefix and a random part: as long whatever the file's name.
fs::path temporaryName(std::random_device& random) {
    return "pelitor-" + hexName(random()) + ".tmp";
}

Failure cannotCreate(std::string message) {
    return {FailureKind::cannotCreate, std::move(message)};
}

Failure cannotCreateTemporary(int error) {
    return cannotCreate(std::string("cannot create a temporary file beside it: ") +
                        std::strerror(error));
}

Failure writeFailed(int error) {
    return {FailureKind::ioError, std::string("writing failed: ") + std::strerror(error)};
}

Failure notInPlace(int error) {
    return {FailureKind::ioError,
            std::string("cannot put the output in place: ") + std::strerror(error)};
}

// Closes a descriptor as it goes out of scope.
struct ClosedAtEnd {
    platform::FileHandle file;
    ~ClosedAtEnd() {
        if (file != platform::invalidFile) {
            platform::closeFile(file);
        }
    }
};

} // namespace

std::optional<Failure> replacementRefusal(const platform::FileFacts& existing) {
    if (!existing.exists) {
        return std::nullopt;
    }
    if (!existing.regular) {
        return cannotCreate("exists and is not a regular file; it is left as it is");
    }
    if ((existing.permissions & 0222U) == 0) {
        return cannotCreate("exists and is read-only; it is left as it is");
    }
    if (!existing.writeAllowed) {
        return cannotCreate("exists and is not writable by you; it is left as it is");
    }
    if (!existing.replaceAllowed) {
        return cannotCreate(
            "exists and belongs to another user in a sticky directory; it is left as it is");
    }
    return std::nullopt;
}

AtomicFile::AtomicFile(fs::path path, AtomicFileCalls calls)
    : path_(std::move(path)), calls_(calls) {}

AtomicFile::~AtomicFile() {
    discard();
}

std::optional<Failure> AtomicFile::open(std::uint64_t size) {
    directory_ = std::make_unique<platform::Directory>(path_.parent_path());
    if (!directory_->valid()) {
        return cannotCreate(std::string("cannot open its directory: ") + std::strerror(errno));
    }
    if (auto why = replacementRefusal(platform::inspect(*directory_, path_.filename()))) {
        return why;
    }
    if (auto failure = createTemporary()) {
        return failure;
    }
    platform::reserveSpace(file_, size);
    return std::nullopt;
}

std::optional<Failure> AtomicFile::createTemporary() {
    file_ = calls_.createUnnamed(*directory_);
    if (file_ != platform::invalidFile) {
        unnamed_ = true;
        return std::nullopt;
    }
    if (errno != EOPNOTSUPP) {
        return cannotCreateTemporary(errno);
    }
    std::random_device random;
    for (int attempt = 0; attempt < temporaryNameAttempts; ++attempt) {
        fs::path candidate = temporaryName(random);
        const platform::EndingSignalsHeld held;
        file_ = calls_.createNamed(*directory_, candidate);
        if (file_ != platform::invalidFile) {
            temporary_ = std::move(candidate);
            platform::registerTemporary(*directory_, temporary_, file_);
            return std::nullopt;
        }
        if (errno != EEXIST) {
            return cannotCreateTemporary(errno);
        }
    }
    return cannotCreate("cannot find a free temporary name beside it");
}

std::optional<Failure> AtomicFile::write(std::span<const std::uint8_t> bytes) {
    if (!platform::writeAll(file_, bytes)) {
        return writeFailed(errno != 0 ? errno : EIO);
    }
    return std::nullopt;
}

std::optional<Failure> AtomicFile::commit() {
    auto failure = putInPlace();
    if (failure) {
        discard();
    }
    return failure;
}

std::optional<Failure> AtomicFile::putInPlace() {
    // Checked again: what is to be replaced may have come or changed during the writing.
    const platform::FileFacts existing = platform::inspect(*directory_, path_.filename());
    if (auto why = replacementRefusal(existing)) {
        return why;
    }
    platform::setFinalPermissions(file_, existing);
    // A file without a name is named through a second descriptor, so that closing the first
    // reports a failed write before the file has a name.
    const ClosedAtEnd second{unnamed_ ? platform::duplicateFile(file_) : platform::invalidFile};
    if (unnamed_ && second.file == platform::invalidFile) {
        return writeFailed(errno);
    }
    const bool closed = calls_.close(file_);
    const int closeError = errno;
    file_ = platform::invalidFile;
    if (!closed) {
        return writeFailed(closeError);
    }
    if (!unnamed_) {
        return renameIntoPlace();
    }
    if (!existing.exists) {
        // Straight to its name: nothing else is ever seen.
        if (!platform::linkUnnamed(second.file, *directory_, path_.filename())) {
            return notInPlace(errno);
        }
        return std::nullopt;
    }
    // Beside the earlier file, then over it. Ending signals wait until it is done; only a
    // crash or SIGKILL between the two steps leaves the complete file under its fresh name.
    const platform::EndingSignalsHeld held;
    std::random_device random;
    for (int attempt = 0; attempt < temporaryNameAttempts; ++attempt) {
        fs::path candidate = temporaryName(random);
        if (platform::linkUnnamed(second.file, *directory_, candidate)) {
            temporary_ = std::move(candidate);
            platform::registerTemporary(*directory_, temporary_, platform::invalidFile);
            return renameIntoPlace();
        }
        if (errno != EEXIST) {
            return notInPlace(errno);
        }
    }
    return notInPlace(EEXIST);
}

std::optional<Failure> AtomicFile::renameIntoPlace() {
    const platform::EndingSignalsHeld held;
    if (!platform::renameWithin(*directory_, temporary_, path_.filename())) {
        return notInPlace(errno); // the temporary file goes with the discard
    }
    platform::forgetTemporary();
    temporary_.clear();
    return std::nullopt;
}

void AtomicFile::discard() noexcept {
    if (file_ != platform::invalidFile) {
        platform::closeFile(file_); // a file without a name goes with it
        file_ = platform::invalidFile;
    }
    if (!temporary_.empty()) {
        const platform::EndingSignalsHeld held;
        platform::removeWithin(*directory_, temporary_);
        platform::forgetTemporary();
        temporary_.clear();
    }
}

} // namespace pelitor
