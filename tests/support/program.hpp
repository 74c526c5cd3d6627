#pragma once

#include "support/wav_builder.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace pelitor::test {

namespace fs = std::filesystem;

// How the program under test is started: the built binary, or what PELITOR_COMMAND says
// (for instance "wine /path/to/pelitor.exe" to test the Windows build).
inline std::string programCommand() {
    const char* command = std::getenv("PELITOR_COMMAND");
    return command != nullptr ? command : "'" PELITOR_BINARY "'";
}

// Whether the program under test is the Windows build, run under Wine: no symbolic links,
// POSIX permissions, resource limits or signals there, and consoles of Wine's own.
inline bool windowsBuild() {
    return std::getenv("PELITOR_COMMAND") != nullptr;
}

// Whether the program writes its output as a file without a name until it is complete (Linux's
// own calls); elsewhere a named temporary file stands beside the output while it is written.
inline constexpr bool namelessOutput = PELITOR_LINUX_CALLS;

// Windows consoles end lines with CR LF.
inline bool crlfConsole() {
    return std::getenv("PELITOR_CRLF") != nullptr;
}

inline std::string consoleLines(std::string text) {
    if (!crlfConsole()) {
        return text;
    }
    std::string converted;
    for (char c : text) {
        if (c == '\n') {
            converted += '\r';
        }
        converted += c;
    }
    return converted;
}

inline std::string shellQuoted(const std::string& word) {
    std::string out = "'";
    for (char c : word) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

inline Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using wav_writer::writeFile;

inline std::string readText(const fs::path& path) {
    const Bytes bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// Standard error as it was written to `path`, its lines ended with LF whatever the platform
// ends them with.
inline std::string readErrors(const fs::path& path) {
    std::string errors = readText(path);
    std::erase(errors, '\r');
    return errors;
}

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// A fresh directory per test, removed afterwards, in which the program runs.
class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        dir_ = fs::temp_directory_path() / ("pelitor-test-" + std::to_string(random()));
        fs::create_directories(dir_);
    }

    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir_, ignored);
    }

    fs::path path(const std::string& name) const { return dir_ / name; }

    // Runs a shell command in the test directory and returns its exit status.
    int shell(const std::string& command) const {
        const int raw =
            std::system(("cd " + shellQuoted(dir_.string()) + " && " + command).c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    // Whether a helper program is installed; a CI run must have it, elsewhere it may be missing.
    bool toolInstalled(const std::string& tool) const {
        if (shell("command -v " + tool + " >/dev/null 2>&1") == 0) {
            return true;
        }
        if (std::getenv("CI") != nullptr) {
            ADD_FAILURE() << tool << " is not installed; CI must install it";
        }
        return false;
    }

    // Runs the program in the test directory; `shellPrefix` runs first in the same shell.
    ProgramRun run(const std::vector<std::string>& arguments, const std::string& shellPrefix = "",
                   const std::string& program = programCommand()) {
        std::string command = shellPrefix + " " + program;
        for (const std::string& argument : arguments) {
            command += ' ';
            command += shellQuoted(argument);
        }
        const fs::path out = dir_.parent_path() / (dir_.filename().string() + ".out");
        const fs::path err = dir_.parent_path() / (dir_.filename().string() + ".err");
        command += " >" + shellQuoted(out.string());
        command += " 2>" + shellQuoted(err.string());
        command += " </dev/null";
        ProgramRun result;
        // Under Wine a program now and then never starts: status 1 and nothing on standard
        // output, which the converter itself never gives (its status 1 says "bad new!!"). Such
        // a run is tried again, and the test's log says what Wine said.
        for (int attempt = 0; attempt < 3; ++attempt) {
            const int status = shell(command);
            result = {status, readText(out), readErrors(err)};
            if (!windowsBuild() || status != 1 || !result.out.empty()) {
                break;
            }
            std::cerr << "Wine did not start the program; again. It said: " << result.err << '\n';
        }
        fs::remove(out);
        fs::remove(err);
        return result;
    }

    std::set<std::string> files(const std::string& subdirectory = "") const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_ / subdirectory)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

  private:
    fs::path dir_;
};

} // namespace pelitor::test
