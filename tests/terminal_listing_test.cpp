#include "support/program.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pelitor::test {
namespace {

using TerminalListing = ProgramTest;

// Runs the program with standard output on a pseudo-terminal, in `environment` alone, and
// returns what the terminal received.
std::string onTerminal(const fs::path& directory, const std::string& input,
                       std::vector<std::string> environment) {
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return {};
    }
    // Held open here too, so that what the program wrote stays readable after it has ended.
    const int screen = open(ptsname(terminal), O_RDWR | O_NOCTTY);
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(screen, STDOUT_FILENO);
        if (chdir(directory.c_str()) == 0) {
            char name[] = "pelitor";
            char* argv[] = {name, const_cast<char*>(input.c_str()), nullptr};
            execve(PELITOR_BINARY, argv, envp.data());
        }
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    fcntl(terminal, F_SETFL, O_NONBLOCK);
    std::string received;
    char chunk[4096];
    ssize_t count = 0;
    while ((count = read(terminal, chunk, sizeof chunk)) > 0) {
        received.append(chunk, static_cast<std::size_t>(count));
    }
    close(screen);
    close(terminal);
    return received;
}

TEST_F(TerminalListing, AUtf8TerminalGetsTheLabelsAsUtf8AndAPipeGetsShiftJis) {
    if (windowsBuild()) {
        GTEST_SKIP() << "Wine gives no console to test the wide-character listing";
    }
    writeFile(path("tone.wav"), canonicalWav({.rate = 8000}, Bytes(200, 0)));
    const std::string utf8Label = "\u30c1\u30e3\u30f3\u30af\u30b5\u30a4\u30ba: 236\r\n";
    const std::string shiftJisLabel = "\x83`\x83\x83\x83\x93\x83N\x83T\x83"
                                      "C\x83Y: 236";
    struct Case {
        std::vector<std::string> environment;
        bool utf8;
    };
    for (const Case& c : std::vector<Case>{
             {{"LANG=en_US.UTF-8"}, true},
             {{"LANG=C", "LC_CTYPE=ja_JP.utf8"}, true},
             {{"LANG=C.UTF-8", "LC_ALL=C"}, false},
             {{}, false},
         }) {
        const std::string screen = onTerminal(path(""), "tone.wav", c.environment);
        EXPECT_TRUE(screen.starts_with("Pelitor Ver 0.01\r\n\r\n")) << screen;
        EXPECT_NE(screen.find(c.utf8 ? utf8Label : shiftJisLabel), std::string::npos) << screen;
        EXPECT_TRUE(screen.ends_with("[Writing Data ... End]\r\n")) << screen;
    }
    const ProgramRun piped = run({"tone.wav"}, "LANG=C.UTF-8 LC_ALL=C.UTF-8");
    EXPECT_NE(piped.out.find(shiftJisLabel + "\n"), std::string::npos);
}

} // namespace
} // namespace pelitor::test
