#pragma once

#include <cstdio>
#include <streambuf>

namespace pelitor {

// An output stream buffer over a C file that remembers why the first failed write or flush
// failed, so that the user is told "No space left on device" rather than just "failed".
class FileSink final : public std::streambuf {
  public:
    explicit FileSink(std::FILE* file) : file_(file) {}

    // The errno of the first failure, or 0.
    int error() const { return error_; }

  protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    int sync() override;

  private:
    void noteFailure();

    std::FILE* file_;
    int error_ = 0;
};

} // namespace pelitor
