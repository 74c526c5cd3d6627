#include "app/file_sink.hpp"

#include <cerrno>

namespace pelitor {

FileSink::int_type FileSink::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof())) {
        return traits_type::not_eof(ch);
    }
    const char byte = traits_type::to_char_type(ch);
    return xsputn(&byte, 1) == 1 ? ch : traits_type::eof();
}

std::streamsize FileSink::xsputn(const char* bytes, std::streamsize count) {
    const auto written = std::fwrite(bytes, 1, static_cast<std::size_t>(count), file_);
    if (written != static_cast<std::size_t>(count)) {
        noteFailure();
    }
    return static_cast<std::streamsize>(written);
}

int FileSink::sync() {
    if (std::fflush(file_) != 0) {
        noteFailure();
        return -1;
    }
    return 0;
}

void FileSink::noteFailure() {
    if (error_ == 0) {
        error_ = errno != 0 ? errno : EIO;
    }
}

} // namespace pelitor
