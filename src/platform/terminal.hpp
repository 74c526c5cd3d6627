#pragma once

#include <memory>
#include <ostream>
#include <streambuf>
#include <string_view>

// What a person at a terminal or console sees, beyond the bytes a file or a pipe gets.
namespace pelitor::platform {

// Windows console programs answer "/?" with their help; elsewhere it is a path.
bool isHelpSwitch(std::string_view argument);

enum class StandardStream { output, errors };

// Whether a person is watching the stream at a terminal or console, rather than a file or a
// pipe taking it: progress is then shown as it happens, and a progress line rewrites itself.
bool isTerminal(StandardStream stream);

// Whether the locale the environment names, the first non-empty of LC_ALL, LC_CTYPE and LANG
// (each may be null), uses UTF-8: "UTF-8" or "utf8" in any case.
bool utf8Locale(const char* lcAll, const char* lcCtype, const char* lang);

// How many columns the terminal the stream goes to has; 0 when it is no terminal or will not
// say.
int terminalColumns(StandardStream stream);

// Readies the terminal the stream goes to for a line that rewrites itself, and says whether it
// takes the code that clears the rest of a line: a POSIX terminal does; a Windows console is
// switched to take it where it can (Windows 10 on), and an older one is cleared with spaces.
bool terminalClearsLines(StandardStream stream);

// Sets standard output up for text beyond ASCII while it lives. A POSIX terminal with a UTF-8
// locale shows UTF-8 as it is; a Windows console gets everything written to `out` through its
// wide-character call, so that it reads right whatever the code page. A file or a pipe gets
// the bytes unchanged, as does a terminal of any other locale.
class TerminalText {
  public:
    explicit TerminalText(std::ostream& out);
    ~TerminalText();
    TerminalText(const TerminalText&) = delete;
    TerminalText& operator=(const TerminalText&) = delete;

    // Whether UTF-8 written to `out` reads as text.
    bool showsUtf8() const { return showsUtf8_; }

  private:
    std::ostream& out_;
    std::unique_ptr<std::streambuf> console_;
    std::streambuf* original_ = nullptr;
    bool showsUtf8_ = false;
};

} // namespace pelitor::platform
