#include "platform/midi_port.hpp"

#include "platform/alsa_midi_port.hpp"
#include "platform/posix/graceful_end_wake.hpp"
#include "platform/posix/port_shared.hpp"
#include "platform/split_port.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <utility>
#if defined(__linux__)
#include <sound/asound.h>
#include <sys/ioctl.h>
#include <sys/sysmacros.h>
#endif

namespace pelitor::platform {

std::string portOpenHint(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return " (you may need to be in the audio group: sudo usermod -aG audio $USER, then log "
               "in again)";
    case EBUSY:
        return " (another program, amidi perhaps, is using the port)";
    case ENOENT:
    case EINVAL: // alsa-lib's word for a card number there cannot be
    case ENXIO:
    case ENODEV:
        return " (pelitor-send --list shows the ports there are)";
    default:
        return "";
    }
}

namespace {

#if defined(__linux__)
constexpr unsigned alsaMajor = 116; // the character devices of ALSA's /dev/snd
#endif

Failure unavailable(std::string message) {
    return {FailureKind::unavailable, std::move(message)};
}

} // namespace

struct MidiPort::SavedTerminal {
    termios settings;
};

MidiPort::MidiPort(int fd, Kind kind, std::unique_ptr<SavedTerminal> saved)
    : fd_(fd), kind_(kind), saved_(std::move(saved)) {}

MidiPort::MidiPort(MidiPort&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), kind_(other.kind_), saved_(std::move(other.saved_)) {}

MidiPort::~MidiPort() {
    if (fd_ < 0) {
        return;
    }
    if (saved_) {
        tcsetattr(fd_, TCSADRAIN, &saved_->settings);
    }
    close(fd_);
}

namespace {

Result<std::unique_ptr<Port>> openOne(const std::string& port) {
    if (!namesDeviceFile(port)) {
        return openAlsaMidiPort(port);
    }
    auto opened = MidiPort::open(port);
    if (!opened) {
        return opened.failure();
    }
    return std::unique_ptr<Port>(std::make_unique<MidiPort>(std::move(*opened)));
}

} // namespace

// Every port here reads and writes; --input names a second one to read from.
Result<std::unique_ptr<Port>> openMidiPort(const PortRequest& request) {
    auto port = openOne(request.port);
    if (!port || !request.input) {
        return port;
    }
    auto input = openOne(*request.input);
    if (!input) {
        return Failure{input.failure().kind,
                       "--input " + *request.input + ": " + input.failure().message};
    }
    return std::unique_ptr<Port>(std::make_unique<SplitPort>(std::move(*port), std::move(*input)));
}

std::string_view midiPortHelp() {
    return "PORT is a raw MIDI port as --list shows it (hw:1,0; hw:1,0,2 for a third port;\n"
           "hw:UM1,0 by card name) or the path of a character device or pseudo-terminal.\n";
}

Result<MidiPort> MidiPort::open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return unavailable(std::strerror(error) + portOpenHint(error));
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) {
        close(fd);
        return unavailable("not a MIDI port (not a character device)");
    }
#if defined(__linux__)
    if (major(status.st_rdev) == alsaMajor) {
        return MidiPort(fd, Kind::alsa, nullptr);
    }
#endif
    auto saved = std::make_unique<SavedTerminal>();
    if (tcgetattr(fd, &saved->settings) != 0) {
        return MidiPort(fd, Kind::other, nullptr);
    }
    // Bytes as they are: no echo, no flow control characters, no line ending translation.
    termios raw = saved->settings;
    cfmakeraw(&raw);
    if (tcsetattr(fd, TCSANOW, &raw) != 0) {
        const int error = errno;
        close(fd);
        return unavailable(std::string("cannot switch the terminal to raw bytes: ") +
                           std::strerror(error));
    }
    return MidiPort(fd, Kind::terminal, std::move(saved));
}

Failure MidiPort::failed(const char* doing) const {
    return {FailureKind::ioError, std::string(doing) + ": " + std::strerror(errno)};
}

std::optional<Failure> MidiPort::write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno != EAGAIN) {
            return failed("the port failed while sending");
        }
        pollfd room{fd_, POLLOUT, 0};
        const int ready = poll(&room, 1, stuckMilliseconds);
        if (ready == 0) {
            return Failure{FailureKind::ioError, stuckMessage()};
        }
        if (ready < 0 && errno != EINTR) {
            return failed("the port failed while sending");
        }
    }
    return std::nullopt;
}

Result<bool> MidiPort::drain() {
    int result = 0;
    switch (kind_) {
    case Kind::terminal:
        result = tcdrain(fd_);
        break;
    case Kind::alsa: {
#if defined(__linux__)
        int stream = SNDRV_RAWMIDI_STREAM_OUTPUT;
        result = ioctl(fd_, SNDRV_RAWMIDI_IOCTL_DRAIN, &stream);
#endif
        break;
    }
    case Kind::other:
        return false;
    }
    // Ctrl-C may cut the wait short; what is left goes out before anything written after it.
    if (result != 0 && errno != EINTR) {
        return failed("the port failed while sending");
    }
    return true;
}

Result<bool> MidiPort::waitForInput(std::optional<std::chrono::nanoseconds> timeout) {
    pollfd fds[] = {{fd_, POLLIN, 0}, {gracefulEndWakeDescriptor(), POLLIN, 0}};
    const int ready = poll(fds, 2, pollMilliseconds(timeout));
    if (ready < 0) {
        if (errno == EINTR) {
            return false;
        }
        return failed("waiting for the port");
    }
    if (fds[0].revents & (POLLERR | POLLNVAL)) {
        return Failure{FailureKind::ioError, "the port failed while waiting for input"};
    }
    return (fds[0].revents & (POLLIN | POLLHUP)) != 0;
}

Result<std::size_t> MidiPort::read(std::span<std::uint8_t> into) {
    for (;;) {
        const ssize_t count = ::read(fd_, into.data(), into.size());
        if (count > 0) {
            return static_cast<std::size_t>(count);
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && errno == EAGAIN) {
            return std::size_t{0};
        }
        if (count == 0) {
            return Failure{FailureKind::ioError, "the port was closed at the other end"};
        }
        return failed("the port failed while reading the sampler's answer");
    }
}

void MidiPort::discardInput() {
    const auto end = std::chrono::steady_clock::now() + discardLimit;
    std::uint8_t ignored[256];
    while (::read(fd_, ignored, sizeof ignored) > 0 && std::chrono::steady_clock::now() < end) {
    }
}

} // namespace pelitor::platform
