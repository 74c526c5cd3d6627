#pragma once

#include "app/platform.hpp"

#include <streambuf>

namespace pelitor {

// An unbuffered output stream buffer over a file: every write goes to the system at once, so
// each packet reaches the file as it is written. It remembers why the first failed write
// failed, so that the user is told "No space left on device" rather than just "failed".
class FileSink final : public std::streambuf {
  public:
    explicit FileSink(platform::FileHandle file) : file_(file) {}

    // The errno of the first failure, or 0.
    int error() const { return error_; }

  protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;

  private:
    platform::FileHandle file_;
    int error_ = 0;
};

} // namespace pelitor
