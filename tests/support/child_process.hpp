#pragma once

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace pelitor::test {

// Sets this process up as a plain shell starts a child: every signal with its default action
// and none blocked, whatever the test runner was started with (nohup, or a background job
// with SIGINT ignored), except `ignored` if not 0; and no core dumps.
inline void startWithDefaultSignals(int ignored = 0) {
    for (int signal = 1; signal < NSIG; ++signal) {
        std::signal(signal, signal == ignored ? SIG_IGN : SIG_DFL);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
}

// Starts `program` in `directory`, set up as above, with its standard output and error on the
// given descriptors. Returns its process id.
inline pid_t startProgram(const std::filesystem::path& directory, std::string program,
                          std::vector<std::string> arguments, int output, int errors,
                          int ignored = 0) {
    std::vector<char*> argv{program.data()};
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        startWithDefaultSignals(ignored);
        dup2(output, STDOUT_FILENO);
        dup2(errors, STDERR_FILENO);
        if (chdir(directory.c_str()) == 0) {
            execv(program.c_str(), argv.data());
        }
        _exit(127);
    }
    return child;
}

// A run whose standard output is a one-page pipe that the test reads only as far as it wants,
// so that the program stalls (in the middle of its packets, given enough of them) until the
// test reads on.
class StalledRun {
  public:
    StalledRun(const std::filesystem::path& directory, const std::string& program,
               const std::vector<std::string>& arguments, int ignored = 0) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) == 0) {
            fcntl(ends[1], F_SETPIPE_SZ, 4096);
            output_ = ends[0];
            child_ = startProgram(directory, program, arguments, ends[1], STDERR_FILENO, ignored);
            close(ends[1]);
        }
    }
    ~StalledRun() {
        finish();
        close(output_);
    }
    StalledRun(const StalledRun&) = delete;
    StalledRun& operator=(const StalledRun&) = delete;

    // Reads standard output until `text` has appeared in it; false if it never does.
    bool readUntil(std::string_view text) {
        while (seen_.find(text) == std::string::npos) {
            if (!readSome()) {
                return false;
            }
        }
        return true;
    }

    void signal(int signal) const { kill(child_, signal); }

    // Reads the rest of standard output and waits for the program to end: its wait status.
    int finish() {
        while (readSome()) {
        }
        int status = 0;
        if (child_ > 0) {
            waitpid(child_, &status, 0);
            child_ = -1;
        }
        return status;
    }

  private:
    bool readSome() {
        char chunk[256];
        const ssize_t count = read(output_, chunk, sizeof chunk);
        if (count > 0) {
            seen_.append(chunk, static_cast<std::size_t>(count));
        }
        return count > 0;
    }

    int output_ = -1;
    pid_t child_ = -1;
    std::string seen_;
};

} // namespace pelitor::test
