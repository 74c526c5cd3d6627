#include "platform/alsa_midi_port.hpp"

#include "platform/posix/graceful_end_wake.hpp"
#include "platform/posix/port_shared.hpp"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <vector>
#if PELITOR_ALSA
#include "platform/posix/alsa_quiet.hpp"
#endif

namespace pelitor::platform {

#if PELITOR_ALSA

namespace {

Failure failed(const char* doing, int error) {
    return {FailureKind::ioError, std::string(doing) + ": " + snd_strerror(error)};
}

std::vector<pollfd> descriptors(snd_rawmidi_t* stream) {
    std::vector<pollfd> fds(
        static_cast<std::size_t>(std::max(snd_rawmidi_poll_descriptors_count(stream), 0)));
    const int count =
        snd_rawmidi_poll_descriptors(stream, fds.data(), static_cast<unsigned>(fds.size()));
    fds.resize(static_cast<std::size_t>(std::max(count, 0)));
    return fds;
}

// The port's two streams, both left without blocking: waits are poll()'s, with the signal
// policy's wake descriptor beside them.
class AlsaMidiPort final : public Port {
  public:
    AlsaMidiPort(snd_rawmidi_t* input, snd_rawmidi_t* output) : input_(input), output_(output) {}
    AlsaMidiPort(const AlsaMidiPort&) = delete;
    AlsaMidiPort& operator=(const AlsaMidiPort&) = delete;
    ~AlsaMidiPort() override {
        snd_rawmidi_close(input_);
        snd_rawmidi_close(output_);
    }

    std::optional<Failure> write(std::span<const std::uint8_t> bytes) override;
    Result<bool> drain() override;
    Result<bool> waitForInput(std::optional<std::chrono::nanoseconds> timeout) override;
    Result<std::size_t> read(std::span<std::uint8_t> into) override;
    void discardInput() override;

  private:
    snd_rawmidi_t* input_;
    snd_rawmidi_t* output_;
};

} // namespace

Result<std::unique_ptr<Port>> openAlsaMidiPort(const std::string& name) {
    silenceAlsaLib();
    snd_rawmidi_t* input = nullptr;
    snd_rawmidi_t* output = nullptr;
    const int result = snd_rawmidi_open(&input, &output, name.c_str(), SND_RAWMIDI_NONBLOCK);
    if (result < 0) {
        return Failure{FailureKind::unavailable, snd_strerror(result) + portOpenHint(-result)};
    }
    return std::unique_ptr<Port>(std::make_unique<AlsaMidiPort>(input, output));
}

std::optional<Failure> AlsaMidiPort::write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = snd_rawmidi_write(output_, bytes.data(), bytes.size());
        if (written > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(written));
            continue;
        }
        if (written == -EINTR) {
            continue;
        }
        if (written < 0 && written != -EAGAIN) {
            return failed("the port failed while sending", static_cast<int>(written));
        }
        std::vector<pollfd> room = descriptors(output_);
        const int ready = poll(room.data(), room.size(), stuckMilliseconds);
        if (ready == 0) {
            return Failure{FailureKind::ioError, stuckMessage()};
        }
        if (ready < 0 && errno != EINTR) {
            return failed("the port failed while sending", -errno);
        }
    }
    return std::nullopt;
}

Result<bool> AlsaMidiPort::drain() {
    const int result = snd_rawmidi_drain(output_);
    // Ctrl-C may cut the wait short; what is left goes out before anything written after it.
    if (result < 0 && result != -EINTR) {
        return failed("the port failed while sending", result);
    }
    return true;
}

Result<bool> AlsaMidiPort::waitForInput(std::optional<std::chrono::nanoseconds> timeout) {
    std::vector<pollfd> fds = descriptors(input_);
    const auto inputs = static_cast<unsigned>(fds.size());
    fds.push_back({gracefulEndWakeDescriptor(), POLLIN, 0});
    const int ready = poll(fds.data(), fds.size(), pollMilliseconds(timeout));
    if (ready < 0) {
        if (errno == EINTR) {
            return false;
        }
        return failed("waiting for the port", -errno);
    }
    unsigned short events = 0;
    snd_rawmidi_poll_descriptors_revents(input_, fds.data(), inputs, &events);
    if (events & (POLLERR | POLLNVAL)) {
        return Failure{FailureKind::ioError, "the port failed while waiting for input"};
    }
    return (events & (POLLIN | POLLHUP)) != 0;
}

Result<std::size_t> AlsaMidiPort::read(std::span<std::uint8_t> into) {
    for (;;) {
        const ssize_t count = snd_rawmidi_read(input_, into.data(), into.size());
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        if (count == -EINTR) {
            continue;
        }
        if (count == -EAGAIN) {
            return std::size_t{0};
        }
        return failed("the port failed while reading the sampler's answer",
                      static_cast<int>(count));
    }
}

void AlsaMidiPort::discardInput() {
    const auto end = std::chrono::steady_clock::now() + discardLimit;
    std::uint8_t ignored[256];
    while (snd_rawmidi_read(input_, ignored, sizeof ignored) > 0 &&
           std::chrono::steady_clock::now() < end) {
    }
}

#else

Result<std::unique_ptr<Port>> openAlsaMidiPort(const std::string&) {
    return Failure{FailureKind::unavailable,
                   "this build has no alsa-lib, so ALSA port names cannot be opened; give the "
                   "path of the port's device file"};
}

#endif

} // namespace pelitor::platform
