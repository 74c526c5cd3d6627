#pragma once

#include "common/failure.hpp"
#include "platform/platform.hpp"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

namespace pelitor {

// Why an existing file must not be replaced by the new one, if it must not: anything but a
// plain file, a read-only file, a file this user could not open for writing, and another
// user's file in a sticky directory are left as they are.
std::optional<Failure> replacementRefusal(const platform::FileFacts& existing);

// The platform calls an AtomicFile makes that a test may replace: to make closing fail, to
// take the named temporary file where files without a name are possible, or to land a
// signal just after that file is created.
struct AtomicFileCalls {
    platform::CloseFunction close = platform::closeFile;
    platform::FileHandle (*createUnnamed)(const platform::Directory&) = platform::createUnnamed;
    platform::FileHandle (*createNamed)(const platform::Directory&,
                                        const std::filesystem::path&) = platform::createExclusive;
};

// A file written whole or not at all. It is written as a temporary file in the same
// directory, without a name where the system allows it, else under a short random name, and
// takes its own name only once every byte is safely written, so a failed run never leaves a
// partial file nor destroys an earlier one. A replaced file passes on its permissions. An
// ending signal at any point removes the temporary file (see platform/process.hpp).
class AtomicFile {
  public:
    explicit AtomicFile(std::filesystem::path path, AtomicFileCalls calls = {});
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Checks that the file may be replaced, and creates the temporary file with room for
    // `size` bytes.
    std::optional<Failure> open(std::uint64_t size);
    // Hands the bytes to the system at once, so that a failure shows with the bytes it concerns.
    std::optional<Failure> write(std::span<const std::uint8_t> bytes);
    // Puts everything written in place under the file's name; on failure, as discard().
    std::optional<Failure> commit();
    // Drops everything written; an earlier file stays as it was.
    void discard() noexcept;

  private:
    std::optional<Failure> createTemporary();
    std::optional<Failure> putInPlace();
    std::optional<Failure> renameIntoPlace();

    std::filesystem::path path_;
    AtomicFileCalls calls_;
    std::unique_ptr<platform::Directory> directory_;
    platform::FileHandle file_ = platform::invalidFile;
    bool unnamed_ = false;
    std::filesystem::path temporary_; // the name the file has in the directory until it is in
                                      // place, if any
};

} // namespace pelitor
