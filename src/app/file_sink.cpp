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
    if (error_ == 0 && platform::writeAll(file_, bytes, static_cast<std::size_t>(count))) {
        return count;
    }
    if (error_ == 0) {
        error_ = errno != 0 ? errno : EIO;
    }
    return 0;
}

} // namespace pelitor
