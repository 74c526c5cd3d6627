#pragma once

#include "app/sds_output.hpp"
#include "platform/platform.hpp"

#include <filesystem>
#include <memory>

namespace pelitor {

// Why an existing file must not be replaced by the output, if it must not: anything but a
// plain file, a read-only file, a file this user could not open for writing, and another
// user's file in a sticky directory are left as they are.
std::optional<Failure> replacementRefusal(const platform::FileFacts& existing);

// The platform calls an SdsFile makes that a test may replace: to make closing fail, to
// take the named temporary file where files without a name are possible, or to land a
// signal just after that file is created.
struct SdsFileCalls {
    platform::CloseFunction close = platform::closeFile;
    platform::FileHandle (*createUnnamed)(const platform::Directory&) = platform::createUnnamed;
    platform::FileHandle (*createNamed)(const platform::Directory&,
                                        const std::filesystem::path&) = platform::createExclusive;
};

// The .sds file. It is written as a temporary file in the same directory, without a name
// where the system allows it, else under a short random name, and takes the output's name
// only once every byte is safely written, so a failed run never leaves a partial file nor
// destroys an earlier one. A replaced file passes on its permissions.
class SdsFile final : public SdsOutput {
  public:
    SdsFile(std::filesystem::path output, std::string name, SdsFileCalls calls = {});
    ~SdsFile() override;
    SdsFile(const SdsFile&) = delete;
    SdsFile& operator=(const SdsFile&) = delete;

    const std::string& name() const override { return name_; }
    std::optional<Failure> open(std::uint64_t size) override;
    std::optional<Failure> write(std::span<const std::uint8_t> bytes) override;
    std::optional<Failure> commit() override;
    void discard() noexcept override;

  private:
    std::optional<Failure> createTemporary();
    std::optional<Failure> putInPlace();
    std::optional<Failure> renameIntoPlace();

    std::filesystem::path output_;
    std::string name_;
    SdsFileCalls calls_;
    std::unique_ptr<platform::Directory> directory_;
    platform::FileHandle file_ = platform::invalidFile;
    bool unnamed_ = false;
    std::filesystem::path temporary_; // the name the file has in the directory until it is in
                                      // place, if any
};

} // namespace pelitor
