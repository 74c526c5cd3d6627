#include "support/program.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

namespace pelitor::test {
namespace {

using TerminalListing = ProgramTest;

// Runs the program on `input` with standard output on a pseudo-terminal and returns what the
// terminal received. The POSIX build runs in `environment` alone; the Windows build runs under
// Wine, in the test's own environment, which Wine needs.
std::string onTerminal(const fs::path& directory, const std::string& input,
                       const std::string& environment) {
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return {};
    }
    // Held open here too, so that what the program wrote stays readable after it has ended.
    const int screen = open(ptsname(terminal), O_RDWR | O_NOCTTY);
    const std::string command = (windowsBuild() ? "" : "exec env -i " + environment + " ") +
                                programCommand() + " " + shellQuoted(input) + " 2>/dev/null";
    const pid_t child = fork();
    if (child == 0) {
        dup2(screen, STDOUT_FILENO);
        if (chdir(directory.c_str()) == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        }
        _exit(127);
    }
    // Read as it comes, so that a full terminal never holds the program up.
    fcntl(terminal, F_SETFL, O_NONBLOCK);
    std::string received;
    const auto drain = [&] {
        char chunk[4096];
        ssize_t count = 0;
        while ((count = read(terminal, chunk, sizeof chunk)) > 0) {
            received.append(chunk, static_cast<std::size_t>(count));
        }
    };
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        pollfd ready{terminal, POLLIN, 0};
        poll(&ready, 1, 100);
        drain();
    }
    drain();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    close(screen);
    close(terminal);
    return received;
}

TEST_F(TerminalListing, AUtf8TerminalGetsTheLabelsAsUtf8AndAPipeGetsShiftJis) {
    writeFile(path("tone.wav"), canonicalWav({.rate = 8000}, Bytes(200, 0)));
    const std::string utf8Label = "\u30c1\u30e3\u30f3\u30af\u30b5\u30a4\u30ba: 236";
    const std::string shiftJisLabel = "\x83`\x83\x83\x83\x93\x83N\x83T\x83"
                                      "C\x83Y: 236";
    const ProgramRun piped = run({"tone.wav"}, "LANG=C.UTF-8 LC_ALL=C.UTF-8");
    EXPECT_NE(piped.out.find(consoleLines(shiftJisLabel + "\n")), std::string::npos);
    if (windowsBuild()) {
        // A console takes the labels through the wide-character call whatever the locale.
        const std::string screen = onTerminal(path(""), "tone.wav", "");
        EXPECT_NE(screen.find(utf8Label), std::string::npos) << screen;
        return;
    }
    struct Case {
        std::string environment;
        bool utf8;
    };
    for (const Case& c : {
             Case{"LANG=en_US.UTF-8", true},
             Case{"LANG=C LC_CTYPE=ja_JP.utf8", true},
             Case{"LANG=C.UTF-8 LC_ALL=C", false},
             Case{"", false},
         }) {
        const std::string screen = onTerminal(path(""), "tone.wav", c.environment);
        EXPECT_TRUE(screen.starts_with("Pelitor Ver 0.01\r\n\r\n")) << screen;
        EXPECT_NE(screen.find((c.utf8 ? utf8Label : shiftJisLabel) + "\r\n"), std::string::npos)
            << screen;
        EXPECT_TRUE(screen.ends_with("[Writing Data ... End]\r\n")) << screen;
    }
}

} // namespace
} // namespace pelitor::test
