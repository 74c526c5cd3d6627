#pragma once

// A sampler at the other end of a MIDI cable, for pelitor-send and pelitor-receive to talk to:
// it sits on the master side of a pseudo-terminal, takes every message that comes in, checks
// it, and answers as its script says. Also used by the benchmark, so it needs no test framework.

#include "sds/data_packet.hpp"
#include "sds/handshake_message.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace pelitor::test {

using SamplerClock = std::chrono::steady_clock;

struct SysExMessage {
    std::vector<std::uint8_t> bytes;
    SamplerClock::time_point at; // when its last byte came in

    std::uint8_t type() const { return bytes.size() > 3 ? bytes[3] : 0; }
    std::uint8_t number() const { return bytes.size() > 4 ? bytes[4] : 0; }
};

// What the sampler sends back, and how long it waits before it does.
struct Answer {
    std::chrono::milliseconds delay{0};
    std::vector<std::uint8_t> bytes;
};

// Given each message and how many came before it, the answers to it. None at all: a sampler
// that never answers.
using SamplerScript =
    std::function<std::vector<Answer>(const SysExMessage& message, std::size_t index)>;

inline std::vector<std::uint8_t> handshake(std::uint8_t type, std::uint8_t number,
                                           std::uint8_t channel = 0) {
    const HandshakeMessage message = makeHandshake(type, channel, number);
    return {message.begin(), message.end()};
}

// The sampler most people have: an ACK for the header and every packet, at once.
inline std::vector<Answer> ackEverything(const SysExMessage& message, std::size_t) {
    if (message.type() != dumpHeaderType && message.type() != dataPacketType) {
        return {};
    }
    return {{{}, handshake(ackType, message.number(), message.bytes[2])}};
}

// A sampler asked for a dump: it sends `stream` (a header, then its packets). Waiting for
// answers, it sends the header, then each packet once the one before has its ACK, again on a
// NAK, and stops on a CANCEL; else it sends the whole dump at once. A packet in `damaged` goes
// out that many times with a wrong checksum before it goes out right; one in `repeated` goes
// out once more after its ACK, as if the ACK had been missed. Some samplers never send the last
// packet. A noisy one puts real-time bytes inside each message and its own message before it.
struct DumpingSampler {
    std::vector<std::uint8_t> stream{};
    bool waitsForAnswers = true;
    std::map<std::size_t, unsigned> damaged{};
    std::set<std::size_t> repeated{};
    bool sendsLast = true;
    bool noisy = false;
};

inline SamplerScript dumpingSampler(DumpingSampler how) {
    struct State {
        DumpingSampler how;
        bool asked = false;
        bool done = false;
        std::size_t current = 0; // 0: the header; else the packet before it
    };
    auto state = std::make_shared<State>(State{std::move(how)});
    return [state](const SysExMessage& message, std::size_t) -> std::vector<Answer> {
        State& s = *state;
        const auto& stream = s.how.stream;
        const std::size_t packets =
            (stream.size() - dumpHeaderSize) / packetSize - (s.how.sendsLast ? 0 : 1);
        const auto part = [&](std::size_t which) {
            const auto from =
                stream.begin() + (which == 0 ? 0 : dumpHeaderSize + (which - 1) * packetSize);
            std::vector<std::uint8_t> bytes(from,
                                            from + (which == 0 ? dumpHeaderSize : packetSize));
            if (const auto left = s.how.damaged.find(which - 1);
                which > 0 && left != s.how.damaged.end() && left->second > 0) {
                --left->second;
                bytes[packetChecksumIndex] ^= 1;
            }
            if (s.how.noisy) {
                bytes.insert(bytes.begin() + 5, {0xF8, 0xFE});
                bytes.insert(bytes.begin(), {0xFE, 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x41, 0xF7});
            }
            return bytes;
        };
        if (message.type() == dumpRequestType && !s.asked) {
            s.asked = true;
            if (s.how.waitsForAnswers) {
                return {{{}, part(0)}};
            }
            std::vector<std::uint8_t> all;
            for (std::size_t which = 0; which <= packets; ++which) {
                const auto bytes = part(which);
                all.insert(all.end(), bytes.begin(), bytes.end());
            }
            return {{{}, all}};
        }
        if (!s.how.waitsForAnswers || !s.asked || s.done) {
            return {};
        }
        if (message.type() == cancelType) {
            s.done = true;
        } else if (message.type() == ackType && !s.how.repeated.erase(s.current - 1)) {
            s.done = ++s.current > packets;
        }
        if (s.done || (message.type() != ackType && message.type() != nakType)) {
            return {};
        }
        return {{{}, part(s.current)}};
    };
}

// A pseudo-terminal for a program to open as its MIDI port, its master side for the test.
class PseudoTerminal {
  public:
    PseudoTerminal() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        port_ = ptsname(master_);
        // Held open, so that the settings a program leaves behind can be looked at. They are
        // a terminal's usual ones, which would turn bytes 0A and 0D into others, except that
        // nothing is echoed: what the master writes must not come back to it once the program
        // has given the terminal back.
        slave_ = open(port_.c_str(), O_RDWR | O_NOCTTY);
        tcgetattr(slave_, &original_);
        original_.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
        tcsetattr(slave_, TCSANOW, &original_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal() {
        close(slave_);
        close(master_);
    }

    int master() const { return master_; }
    const std::string& port() const { return port_; }
    // Whether the terminal has the settings it had before the program opened it.
    bool restored() const {
        termios now{};
        tcgetattr(slave_, &now);
        return now.c_iflag == original_.c_iflag && now.c_oflag == original_.c_oflag &&
               now.c_lflag == original_.c_lflag && now.c_cflag == original_.c_cflag;
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string port_;
    termios original_{};
};

class SimulatedSampler {
  public:
    explicit SimulatedSampler(SamplerScript script) : script_(std::move(script)) {
        thread_ = std::thread([this] { serve(); });
    }

    ~SimulatedSampler() { finish(); }

    const std::string& port() const { return terminal_.port(); }

    // Takes what is still on its way in, then stops listening.
    void finish() {
        stopping_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    std::vector<SysExMessage> messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    std::vector<std::uint8_t> received() const {
        std::lock_guard lock(mutex_);
        return received_;
    }
    // Whatever was wrong with the messages that came in; empty when all were sound.
    std::vector<std::string> faults() const {
        std::lock_guard lock(mutex_);
        return faults_;
    }
    // Whether the terminal has the settings it had before pelitor-send opened it.
    bool terminalRestored() const { return terminal_.restored(); }

  private:
    void serve() {
        std::vector<std::uint8_t> message;
        for (;;) {
            pollfd input{master_, POLLIN, 0};
            if (poll(&input, 1, 20) <= 0) {
                if (stopping_) {
                    return;
                }
                continue;
            }
            std::uint8_t buffer[512];
            const ssize_t count = read(master_, buffer, sizeof buffer);
            if (count <= 0) {
                if (stopping_) {
                    return;
                }
                continue;
            }
            for (ssize_t i = 0; i < count; ++i) {
                const std::uint8_t byte = buffer[i];
                {
                    std::lock_guard lock(mutex_);
                    received_.push_back(byte);
                }
                if (byte == sysExStart && !message.empty()) {
                    fault("a message without F7 before byte " + std::to_string(received_.size()));
                    message.clear();
                }
                message.push_back(byte);
                if (byte == sysExEnd) {
                    take({message, SamplerClock::now()});
                    message.clear();
                }
            }
        }
    }

    void take(const SysExMessage& message) {
        check(message);
        std::size_t index = 0;
        {
            std::lock_guard lock(mutex_);
            index = messages_.size();
            messages_.push_back(message);
        }
        if (!script_) {
            return; // a sampler that never answers
        }
        for (const Answer& answer : script_(message, index)) {
            std::this_thread::sleep_for(answer.delay);
            if (write(master_, answer.bytes.data(), answer.bytes.size()) !=
                static_cast<ssize_t>(answer.bytes.size())) {
                fault("an answer could not be written");
            }
        }
    }

    // Checks each message as a receiver would before it answers.
    void check(const SysExMessage& message) {
        const auto& bytes = message.bytes;
        const std::string where = "message " + std::to_string(messages_.size());
        if (bytes.size() < 6 || bytes[0] != sysExStart || bytes[1] != nonRealTime) {
            return fault(where + ": not a sample dump message");
        }
        for (std::size_t i = 1; i + 1 < bytes.size(); ++i) {
            if (bytes[i] >= 0x80) {
                return fault(where + ": a status byte inside");
            }
        }
        const std::size_t size = message.type() == dumpHeaderType    ? dumpHeaderSize
                                 : message.type() == dataPacketType  ? packetSize
                                 : message.type() == dumpRequestType ? dumpRequestSize
                                                                     : handshakeSize;
        if (bytes.size() != size) {
            return fault(where + ": " + std::to_string(bytes.size()) + " bytes");
        }
        if (message.type() == dataPacketType &&
            packetChecksum(std::span<const std::uint8_t, packetSize>(bytes.data(), packetSize)) !=
                bytes[packetChecksumIndex]) {
            fault(where + ": wrong checksum");
        }
    }

    void fault(const std::string& what) {
        std::lock_guard lock(mutex_);
        faults_.push_back(what);
    }

    SamplerScript script_;
    PseudoTerminal terminal_;
    const int master_ = terminal_.master();
    std::atomic<bool> stopping_ = false;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<SysExMessage> messages_;
    std::vector<std::uint8_t> received_;
    std::vector<std::string> faults_;
};

// A program started in the background as a shell starts a job: in a process group of its own,
// every signal with its default action and none blocked, whatever the test runner was started
// with. Its standard output and error go to files, or standard error to `errors` if given; its
// environment is this process's with `environment` (NAME=value) added or put in place. The command
// is looked for on PATH if it has no slash.
class BackgroundProgram {
  public:
    BackgroundProgram(const std::vector<std::string>& command, const std::string& out,
                      const std::string& err, int errors = -1,
                      const std::vector<std::string>& environment = {}) {
        std::vector<char*> argv;
        for (const std::string& word : command) {
            argv.push_back(const_cast<char*>(word.c_str()));
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        if (errors >= 0) {
            posix_spawn_file_actions_adddup2(&actions, errors, 2);
        } else {
            posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                             0644);
        }
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t all;
        sigset_t none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK |
                                                  POSIX_SPAWN_SETPGROUP);
        std::vector<char*> envp;
        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string_view name(*variable, std::strcspn(*variable, "=") + 1); // "NAME="
            if (std::none_of(
                    environment.begin(), environment.end(),
                    [name](const std::string& added) { return added.starts_with(name); })) {
                envp.push_back(*variable);
            }
        }
        for (const std::string& variable : environment) {
            envp.push_back(const_cast<char*>(variable.c_str()));
        }
        envp.push_back(nullptr);
        const int error =
            posix_spawnp(&pid_, argv[0], &actions, &attributes, argv.data(), envp.data());
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) {
            throw std::runtime_error("cannot start " + command[0]);
        }
    }

    ~BackgroundProgram() {
        if (pid_ > 0) {
            kill(-pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    // To the whole group, as Ctrl-C on a terminal reaches a shell and the program it runs.
    void signal(int number) const { kill(-pid_, number); }

    // The exit status, or -1 if it had to be killed after `limit` or died of a signal.
    int wait(std::chrono::seconds limit = std::chrono::seconds(60)) {
        const auto end = SamplerClock::now() + limit;
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (SamplerClock::now() > end) {
                kill(-pid_, SIGKILL);
                waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        pid_ = 0;
        diedOf_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The signal it died of, once waited for; 0 if it exited.
    int diedOf() const { return diedOf_; }

  private:
    pid_t pid_ = 0;
    int diedOf_ = 0;
};

} // namespace pelitor::test
