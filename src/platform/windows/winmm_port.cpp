#include "platform/windows/winmm_port.hpp"

#include "platform/port_limits.hpp"
#include "platform/short_message.hpp"
#include "platform/windows/graceful_end_wake.hpp"

#include <algorithm>
#include <array>
#include <deque>
#include <vector>
#include <windows.h>
// WinMM needs the types of windows.h
#include <mmsystem.h>

namespace pelitor::platform {
namespace {

using Clock = std::chrono::steady_clock;

// A buffer comes back at the end of every system exclusive message, so the count bounds the
// messages that can arrive while the program is busy elsewhere (at most one message's time on
// the wire, about 41 ms for a packet): 32 hold 32 data packets, 1.3 s of a sampler sending
// back to back, or 32 short replies. 256 bytes take a whole packet with room.
constexpr std::size_t inputBufferCount = 32;
constexpr std::size_t inputBufferSize = 256;
// Room for what comes between two looks: every buffer, and short messages (a clock, active
// sensing) beside them; short messages past it are dropped, buffers never.
constexpr std::size_t arrivalRoom = 1024;

// A wait's timeout, rounded up so that a deadline is never woken for before it has passed.
DWORD waitMilliseconds(std::optional<std::chrono::nanoseconds> timeout) {
    if (!timeout) {
        return INFINITE;
    }
    const auto rounded = std::chrono::ceil<std::chrono::milliseconds>(*timeout).count();
    return static_cast<DWORD>(std::clamp<long long>(rounded, 0, INFINITE - 1));
}

std::string named(const char* kind, const WinmmDevice& device) {
    return std::string("MIDI ") + kind + " " + std::to_string(device.number) + " (" + device.name +
           ")";
}

std::string openError(MMRESULT result) {
    switch (result) {
    case MMSYSERR_ALLOCATED:
        return "is in use by another program (close it, then try again)";
    case MMSYSERR_BADDEVICEID:
    case MMSYSERR_NODRIVER:
    case MIDIERR_NODEVICE:
        return "has gone (is the MIDI interface still connected? --list shows the ports there are)";
    case MMSYSERR_NOMEM:
        return "cannot be opened: the system has no memory for it";
    default:
        return "cannot be opened (WinMM error " + std::to_string(result) + ")";
    }
}

Failure portFailed(const char* doing, MMRESULT result) {
    return {FailureKind::ioError, std::string("the port failed while ") + doing + " (WinMM error " +
                                      std::to_string(result) + ")"};
}

// What WinMM's thread hands over: a buffer it has filled, or a short message.
struct Arrival {
    MIDIHDR* buffer = nullptr;
    ShortMessage message;
};

struct Input {
    HMIDIIN handle = nullptr;
    HANDLE arrived = nullptr; // set by WinMM's thread at each arrival
    CRITICAL_SECTION lock;
    std::array<Arrival, arrivalRoom> arrivals; // a ring, under `lock`
    std::size_t first = 0;
    std::size_t count = 0;
    std::array<MIDIHDR, inputBufferCount> headers{};
    std::array<std::array<char, inputBufferSize>, inputBufferCount> buffers{};
    std::deque<std::uint8_t> bytes; // taken in, not yet read
    bool closing = false;           // buffers coming back are not given to WinMM again
    // A buffer WinMM would not take back: what it then drops would go unseen, so the port
    // fails instead, once the bytes before it are read.
    MMRESULT requeueFailed = MMSYSERR_NOERROR;

    Input() { InitializeCriticalSection(&lock); }
    ~Input() { DeleteCriticalSection(&lock); }
};

// On WinMM's thread, which may call nothing of WinMM's: the arrival is queued for the port's
// own thread.
void CALLBACK inputCallback(HMIDIIN, UINT message, DWORD_PTR instance, DWORD_PTR first, DWORD_PTR) {
    if (message != MIM_DATA && message != MIM_LONGDATA && message != MIM_LONGERROR) {
        return;
    }
    Input& input = *reinterpret_cast<Input*>(instance);
    Arrival arrival;
    if (message == MIM_DATA) {
        arrival.message = unpackShortMessage(static_cast<std::uint32_t>(first));
    } else {
        arrival.buffer = reinterpret_cast<MIDIHDR*>(first);
    }
    EnterCriticalSection(&input.lock);
    if (arrival.buffer != nullptr || input.count + inputBufferCount < arrivalRoom) {
        input.arrivals[(input.first + input.count) % arrivalRoom] = arrival;
        ++input.count;
    }
    LeaveCriticalSection(&input.lock);
    SetEvent(input.arrived);
}

struct Output {
    HMIDIOUT handle = nullptr;
    HANDLE done = nullptr; // set by WinMM's thread when the driver is done with a message
    MIDIHDR header{};
    std::vector<char> bytes;
    bool inFlight = false;
    Clock::time_point handedOver;
    std::size_t length = 0;
};

void CALLBACK outputCallback(HMIDIOUT, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
    if (message == MOM_DONE) {
        SetEvent(reinterpret_cast<Output*>(instance)->done);
    }
}

class WinmmPort final : public Port {
  public:
    WinmmPort() { timeBeginPeriod(1); } // waits to the millisecond, not to the 15.6 ms tick
    WinmmPort(const WinmmPort&) = delete;
    WinmmPort& operator=(const WinmmPort&) = delete;
    ~WinmmPort() override {
        closeOutput();
        closeInput();
        timeEndPeriod(1);
    }

    std::optional<Failure> openOutput(const WinmmDevice& device) {
        auto output = std::make_unique<Output>();
        output->done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        const MMRESULT result = midiOutOpen(
            &output->handle, device.number, reinterpret_cast<DWORD_PTR>(&outputCallback),
            reinterpret_cast<DWORD_PTR>(output.get()), CALLBACK_FUNCTION);
        if (result != MMSYSERR_NOERROR) {
            CloseHandle(output->done);
            return Failure{FailureKind::unavailable,
                           named("output", device) + " " + openError(result)};
        }
        output_ = std::move(output);
        return std::nullopt;
    }

    std::optional<Failure> openInput(const WinmmDevice& device) {
        auto input = std::make_unique<Input>();
        input->arrived = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        MMRESULT result =
            midiInOpen(&input->handle, device.number, reinterpret_cast<DWORD_PTR>(&inputCallback),
                       reinterpret_cast<DWORD_PTR>(input.get()), CALLBACK_FUNCTION);
        if (result != MMSYSERR_NOERROR) {
            CloseHandle(input->arrived);
            return Failure{FailureKind::unavailable,
                           named("input", device) + " " + openError(result)};
        }
        input_ = std::move(input);
        for (std::size_t i = 0; i < inputBufferCount && result == MMSYSERR_NOERROR; ++i) {
            MIDIHDR& header = input_->headers[i];
            header.lpData = input_->buffers[i].data();
            header.dwBufferLength = inputBufferSize;
            result = midiInPrepareHeader(input_->handle, &header, sizeof header);
            if (result == MMSYSERR_NOERROR) {
                result = midiInAddBuffer(input_->handle, &header, sizeof header);
            }
        }
        if (result == MMSYSERR_NOERROR) {
            result = midiInStart(input_->handle);
        }
        if (result != MMSYSERR_NOERROR) {
            return Failure{FailureKind::unavailable,
                           named("input", device) + " " + openError(result)};
        }
        return std::nullopt;
    }

    // The bytes are copied, and the driver has them until it says it is done.
    std::optional<Failure> write(std::span<const std::uint8_t> bytes) override {
        if (!output_) {
            return std::nullopt; // listening only: nothing can go out
        }
        if (output_->inFlight) {
            if (auto drained = drain(); !drained) {
                return drained.failure();
            }
        }
        Output& output = *output_;
        output.bytes.assign(bytes.begin(), bytes.end());
        output.header = MIDIHDR{};
        output.header.lpData = output.bytes.data();
        output.header.dwBufferLength = static_cast<DWORD>(bytes.size());
        output.header.dwBytesRecorded = static_cast<DWORD>(bytes.size());
        MMRESULT result = midiOutPrepareHeader(output.handle, &output.header, sizeof output.header);
        if (result != MMSYSERR_NOERROR) {
            return portFailed("sending", result);
        }
        ResetEvent(output.done);
        output.handedOver = Clock::now();
        result = midiOutLongMsg(output.handle, &output.header, sizeof output.header);
        if (result != MMSYSERR_NOERROR) {
            midiOutUnprepareHeader(output.handle, &output.header, sizeof output.header);
            return portFailed("sending", result);
        }
        output.inFlight = true;
        output.length = bytes.size();
        return std::nullopt;
    }

    // Until the driver is done with the message, and no sooner than its last byte can have
    // left: a driver may say it is done as soon as it has taken the bytes.
    Result<bool> drain() override {
        if (!output_ || !output_->inFlight) {
            return true;
        }
        Output& output = *output_;
        const auto onWire = output.handedOver + midiByteTime * output.length;
        const auto stuck = onWire + std::chrono::milliseconds(stuckMilliseconds);
        while ((output.header.dwFlags & MHDR_DONE) == 0) {
            const auto now = Clock::now();
            if (now >= stuck) {
                return Failure{FailureKind::ioError, stuckMessage()};
            }
            if (waitTaking(output.done, stuck - now) == Woken::failed) {
                return portFailed("sending", MMSYSERR_ERROR);
            }
        }
        midiOutUnprepareHeader(output.handle, &output.header, sizeof output.header);
        output.inFlight = false;
        for (auto now = Clock::now(); now < onWire; now = Clock::now()) {
            waitTaking(nullptr, onWire - now);
        }
        return true;
    }

    Result<bool> waitForInput(std::optional<std::chrono::nanoseconds> timeout) override {
        const HANDLE wake = gracefulEndWakeEvent();
        const auto start = Clock::now();
        while (true) {
            takeArrivals();
            if (input_ && !input_->bytes.empty()) {
                return true;
            }
            if (input_ && input_->requeueFailed != MMSYSERR_NOERROR) {
                return portFailed("taking input", input_->requeueFailed);
            }
            std::optional<std::chrono::nanoseconds> left;
            if (timeout) {
                left = *timeout - (Clock::now() - start);
                if (*left <= std::chrono::nanoseconds::zero()) {
                    return false;
                }
            }
            switch (waitTaking(wake, left)) {
            case Woken::event:
                return false; // an ending signal
            case Woken::failed:
                return Failure{FailureKind::ioError, "the port failed while waiting for input"};
            case Woken::other:
                break;
            }
        }
    }

    Result<std::size_t> read(std::span<std::uint8_t> into) override {
        takeArrivals();
        if (!input_) {
            return std::size_t{0};
        }
        std::deque<std::uint8_t>& bytes = input_->bytes;
        const std::size_t count = std::min(into.size(), bytes.size());
        std::copy_n(bytes.begin(), count, into.begin());
        bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
        return count;
    }

    void discardInput() override {
        takeArrivals();
        if (input_) {
            input_->bytes.clear();
        }
    }

    bool hasInput() const override { return input_ != nullptr; }
    bool hasOutput() const override { return output_ != nullptr; }

  private:
    enum class Woken { event, other, failed };

    // Waits for `event` (if any) until `time` has passed (none: as long as it takes) or
    // something comes in, and takes what came, so that WinMM has its buffers back meanwhile.
    Woken waitTaking(HANDLE event, std::optional<std::chrono::nanoseconds> time) {
        HANDLE events[2];
        DWORD count = 0;
        if (event != nullptr) {
            events[count++] = event;
        }
        if (input_) {
            events[count++] = input_->arrived;
        }
        const DWORD milliseconds = waitMilliseconds(time);
        const DWORD woken = count == 0 ? (Sleep(milliseconds), WAIT_TIMEOUT)
                                       : WaitForMultipleObjects(count, events, FALSE, milliseconds);
        takeArrivals();
        if (woken == WAIT_FAILED) {
            return Woken::failed;
        }
        return event != nullptr && woken == WAIT_OBJECT_0 ? Woken::event : Woken::other;
    }

    // Moves what WinMM's thread has queued into the bytes to read, in the order it came, and
    // gives each buffer straight back to WinMM to fill again.
    void takeArrivals() {
        if (!input_) {
            return;
        }
        Input& input = *input_;
        std::array<Arrival, arrivalRoom> taken;
        EnterCriticalSection(&input.lock);
        const std::size_t count = input.count;
        for (std::size_t i = 0; i < count; ++i) {
            taken[i] = input.arrivals[(input.first + i) % arrivalRoom];
        }
        input.first = (input.first + count) % arrivalRoom;
        input.count = 0;
        LeaveCriticalSection(&input.lock);
        for (std::size_t i = 0; i < count; ++i) {
            const Arrival& arrival = taken[i];
            if (arrival.buffer == nullptr) {
                input.bytes.insert(input.bytes.end(), arrival.message.bytes.begin(),
                                   arrival.message.bytes.begin() +
                                       static_cast<std::ptrdiff_t>(arrival.message.size));
                continue;
            }
            MIDIHDR& header = *arrival.buffer;
            input.bytes.insert(input.bytes.end(), header.lpData,
                               header.lpData + header.dwBytesRecorded);
            if (!input.closing) {
                header.dwBytesRecorded = 0;
                header.dwFlags &= ~static_cast<DWORD>(MHDR_DONE);
                const MMRESULT result = midiInAddBuffer(input.handle, &header, sizeof header);
                if (result != MMSYSERR_NOERROR && input.requeueFailed == MMSYSERR_NOERROR) {
                    input.requeueFailed = result;
                }
            }
        }
    }

    void closeOutput() {
        if (!output_) {
            return;
        }
        Output& output = *output_;
        if (output.inFlight) {
            midiOutReset(output.handle); // gives the message back, done
            for (int i = 0; i < 1000 && (output.header.dwFlags & MHDR_DONE) == 0; ++i) {
                WaitForSingleObject(output.done, 1);
            }
            midiOutUnprepareHeader(output.handle, &output.header, sizeof output.header);
        }
        midiOutClose(output.handle);
        CloseHandle(output.done);
    }

    void closeInput() {
        if (!input_) {
            return;
        }
        Input& input = *input_;
        input.closing = true;
        midiInStop(input.handle);
        midiInReset(input.handle); // gives every buffer back, done
        const auto allBack = [&] {
            return std::all_of(input.headers.begin(), input.headers.end(),
                               [](const MIDIHDR& h) { return (h.dwFlags & MHDR_INQUEUE) == 0; });
        };
        for (int i = 0; i < 1000 && !allBack(); ++i) {
            WaitForSingleObject(input.arrived, 1);
            takeArrivals();
        }
        takeArrivals();
        for (MIDIHDR& header : input.headers) {
            if ((header.dwFlags & MHDR_PREPARED) != 0) {
                midiInUnprepareHeader(input.handle, &header, sizeof header);
            }
        }
        midiInClose(input.handle);
        CloseHandle(input.arrived);
    }

    std::unique_ptr<Output> output_;
    std::unique_ptr<Input> input_;
};

} // namespace

Result<std::unique_ptr<Port>> openWinmmPort(const std::optional<WinmmDevice>& output,
                                            const std::optional<WinmmDevice>& input) {
    auto port = std::make_unique<WinmmPort>();
    if (output) {
        if (auto failure = port->openOutput(*output)) {
            return *failure;
        }
    }
    if (input) {
        if (auto failure = port->openInput(*input)) {
            return *failure;
        }
    }
    return std::unique_ptr<Port>(std::move(port));
}

} // namespace pelitor::platform
