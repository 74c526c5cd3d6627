#include "platform/terminal.hpp"

#include <algorithm>
#include <string>
#include <windows.h>

namespace pelitor::platform {

bool isHelpSwitch(std::string_view argument) {
    return argument == "/?";
}

namespace {

HANDLE standardHandle(StandardStream stream) {
    return GetStdHandle(stream == StandardStream::output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

} // namespace

// A console answers for its mode; the null device and pipes, which _isatty may call character
// devices, do not.
bool isTerminal(StandardStream stream) {
    const HANDLE handle = standardHandle(stream);
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

int terminalColumns(StandardStream stream) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(standardHandle(stream), &info) == 0) {
        return 0;
    }
    // The visible window, not the buffer, which is often far wider.
    return info.srWindow.Right - info.srWindow.Left + 1;
}

// The console keeps the mode for the programs run after this one, which lose nothing by it.
bool terminalClearsLines(StandardStream stream) {
    const HANDLE handle = standardHandle(stream);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode) == 0) {
        return false;
    }
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

namespace {

// Hands UTF-8 text to the console as UTF-16 at each flush. A character whose bytes are not
// all there yet waits for the rest.
class WideConsoleBuffer final : public std::streambuf {
  public:
    explicit WideConsoleBuffer(HANDLE console) : console_(console) {}

  protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            pending_.push_back(traits_type::to_char_type(c));
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        return count;
    }

    int sync() override {
        const std::size_t complete = completeLength();
        const int size = MultiByteToWideChar(CP_UTF8, 0, pending_.data(),
                                             static_cast<int>(complete), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(size), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(complete), wide.data(),
                            size);
        pending_.erase(0, complete);
        if (wide.empty()) {
            return 0;
        }
        DWORD written = 0;
        return WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written,
                             nullptr) != 0
                   ? 0
                   : -1;
    }

  private:
    // How many of the pending bytes end with a whole character.
    std::size_t completeLength() const {
        const std::size_t size = pending_.size();
        for (std::size_t back = 1; back <= std::min<std::size_t>(3, size); ++back) {
            const auto byte = static_cast<unsigned char>(pending_[size - back]);
            if ((byte & 0xC0) == 0x80) {
                continue; // a continuation byte: its lead byte is further back
            }
            const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            return length > back ? size - back : size;
        }
        return size;
    }

    HANDLE console_;
    std::string pending_;
};

} // namespace

TerminalText::TerminalText(std::ostream& out) : out_(out) {
    if (isTerminal(StandardStream::output)) {
        out_.flush();
        console_ = std::make_unique<WideConsoleBuffer>(standardHandle(StandardStream::output));
        original_ = out_.rdbuf(console_.get());
        showsUtf8_ = true;
    }
}

} // namespace pelitor::platform
