#include "wav/read_window.hpp"

namespace pelitor {

Result<std::size_t> ReadWindow::read(std::uint64_t offset, std::span<std::uint8_t> into) {
    if (into.size() >= windowSize) {
        return source_.read(offset, into);
    }
    const std::uint64_t end = start_ + held_;
    const bool inside = offset >= start_ && offset + into.size() <= end;
    // A window that stops short of its size ends at the end of the file: nothing lies past it.
    const bool pastTheEnd = held_ < bytes_.size() && offset >= start_ && offset <= end;
    if (bytes_.empty() || !(inside || pastTheEnd)) {
        bytes_.resize(windowSize);
        const auto count = source_.read(offset, bytes_);
        if (!count) {
            held_ = 0;
            return count;
        }
        start_ = offset;
        held_ = *count;
    }
    const std::size_t available = static_cast<std::size_t>(start_ + held_ - offset);
    const std::size_t count = std::min(available, into.size());
    std::memcpy(into.data(), bytes_.data() + (offset - start_), count);
    return count;
}

} // namespace pelitor
