// A winmm.dll of the tests' own, for running the Windows MIDI programs under Wine, whose WinMM
// needs the ALSA sequencer and reports a SysEx done as soon as it is handed over. It offers
// only the MIDI and timer calls the programs make and carries their bytes to and from the
// pseudo-terminal that PELITOR_STAND_IN_PORT names, behaving as WinMM is documented to: a
// message is done only after its time on the cable, input comes in buffers and in parts, and
// every callback but the open and close ones comes from a thread of the DLL's own.
//
// PELITOR_STAND_IN_OUTPUTS and PELITOR_STAND_IN_INPUTS list the devices' names, separated by
// '|'; unset, there is one of each, named "Stand-in MIDI"; set but empty, there is none.
// Declares the calls here without importing them; windows.h brings the multimedia header.
#define _WINMM_
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

namespace {

using Clock = std::chrono::steady_clock;

// 31250 baud, ten bits a byte.
constexpr std::chrono::microseconds wireTimePerByte{320};

// What the devices say they are: MPU-401 ports of the system's own driver.
constexpr WORD manufacturer = 1;
constexpr WORD outputProduct = 10;
constexpr WORD inputProduct = 11;
constexpr MMVERSION driverVersion = 0x0100;

std::wstring environment(const wchar_t* name, bool& set) {
    SetLastError(0);
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    set = size != 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

std::vector<std::wstring> deviceNames(const wchar_t* variable) {
    bool set = false;
    const std::wstring list = environment(variable, set);
    if (!set) {
        return {L"Stand-in MIDI"};
    }
    std::vector<std::wstring> names;
    if (list.empty()) {
        return names;
    }
    std::size_t from = 0;
    for (;;) {
        const std::size_t bar = list.find(L'|', from);
        names.push_back(list.substr(from, bar - from));
        if (bar == std::wstring::npos) {
            return names;
        }
        from = bar + 1;
    }
}

void copyName(const std::wstring& name, WCHAR (&target)[MAXPNAMELEN]) {
    std::size_t length = std::min<std::size_t>(name.size(), MAXPNAMELEN - 1);
    if (length < name.size() && IS_HIGH_SURROGATE(name[length - 1])) {
        --length; // never half a character
    }
    std::fill(std::begin(target), std::end(target), L'\0');
    std::copy_n(name.begin(), length, target);
}

// The pseudo-terminal, opened as Wine opens it: as a serial port. Setting the port's state is
// what makes the terminal raw (no echo, no line editing, no XON/XOFF, every byte through).
// A read waits at most about 10 ms, with or without data, so that a reader can notice when
// it is asked to stop: Wine cannot cancel a blocking read on it. Every open is for reading
// and writing, since Wine refuses the port's state to a handle that cannot read; an output
// and an input still have a handle each, as Wine may not read and write one at the same time.
HANDLE openWire() {
    bool set = false;
    std::wstring path = environment(L"PELITOR_STAND_IN_PORT", set);
    if (path.empty()) {
        return INVALID_HANDLE_VALUE;
    }
    std::replace(path.begin(), path.end(), L'/', L'\\');
    path.insert(0, L"Z:");
    const HANDLE wire =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (wire == INVALID_HANDLE_VALUE) {
        return wire;
    }
    DCB state{};
    state.DCBlength = sizeof state;
    GetCommState(wire, &state);
    state.fBinary = TRUE;
    state.fParity = FALSE;
    state.fOutxCtsFlow = FALSE;
    state.fOutxDsrFlow = FALSE;
    state.fDtrControl = DTR_CONTROL_DISABLE;
    state.fDsrSensitivity = FALSE;
    state.fOutX = FALSE;
    state.fInX = FALSE;
    state.fErrorChar = FALSE;
    state.fNull = FALSE;
    state.fRtsControl = RTS_CONTROL_DISABLE;
    state.fAbortOnError = FALSE;
    state.ByteSize = 8;
    state.Parity = NOPARITY;
    state.StopBits = ONESTOPBIT;
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 10;
    timeouts.ReadTotalTimeoutConstant = 10;
    if (!SetCommState(wire, &state) || !SetCommTimeouts(wire, &timeouts)) {
        CloseHandle(wire);
        return INVALID_HANDLE_VALUE;
    }
    return wire;
}

void call(DWORD_PTR callback, void* handle, UINT message, DWORD_PTR instance, DWORD_PTR first,
          DWORD_PTR second) {
    if (callback != 0) {
        reinterpret_cast<LPDRVCALLBACK>(callback)(static_cast<HDRVR>(handle), message, instance,
                                                  first, second);
    }
}

void giveBack(MIDIHDR& header) {
    header.dwFlags = (header.dwFlags | MHDR_DONE) & ~DWORD{MHDR_INQUEUE};
}

bool headerFits(const MIDIHDR* header, UINT size) {
    return header != nullptr && size >= sizeof(MIDIHDR);
}

struct Event {
    UINT message;
    DWORD_PTR first;
    DWORD_PTR second;
};

// An open output: the caller queues messages, the writer thread puts each on the wire and
// hands it back once its last byte would have left the cable.
class Output {
  public:
    Output(HANDLE wire, DWORD_PTR callback, DWORD_PTR instance)
        : wire_(wire), callback_(callback), instance_(instance), writer_([this] { write(); }) {}

    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    ~Output() {
        {
            const std::lock_guard lock(mutex_);
            closing_ = true;
        }
        changed_.notify_all();
        writer_.join();
        CloseHandle(wire_);
    }

    void notify(UINT message, DWORD_PTR first) {
        call(callback_, this, message, instance_, first, 0);
    }

    void queue(MIDIHDR& header) {
        {
            const std::lock_guard lock(mutex_);
            header.dwFlags = (header.dwFlags | MHDR_INQUEUE) & ~DWORD{MHDR_DONE};
            queue_.push_back({&header, Clock::now()});
        }
        changed_.notify_all();
    }

    bool busy() {
        const std::lock_guard lock(mutex_);
        return writing_ || !queue_.empty();
    }

    // Everything queued comes back done at once; the message being written is finished first.
    void reset() {
        std::unique_lock lock(mutex_);
        if (!writing_ && queue_.empty()) {
            return;
        }
        resetting_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !resetting_; });
    }

  private:
    struct Queued {
        MIDIHDR* header;
        Clock::time_point handedOver;
    };

    void write() {
        std::unique_lock lock(mutex_);
        Clock::time_point lineFree = Clock::now();
        for (;;) {
            changed_.wait(lock, [this] { return closing_ || resetting_ || !queue_.empty(); });
            if (resetting_) {
                std::deque<Queued> returned;
                returned.swap(queue_);
                for (const Queued& queued : returned) {
                    giveBack(*queued.header);
                }
                lock.unlock();
                for (const Queued& queued : returned) {
                    notify(MOM_DONE, reinterpret_cast<DWORD_PTR>(queued.header));
                }
                lock.lock();
                resetting_ = false;
                lineFree = Clock::now();
                changed_.notify_all();
                continue;
            }
            if (closing_) {
                return;
            }
            const Queued queued = queue_.front();
            queue_.pop_front();
            writing_ = true;
            lock.unlock();
            writeAll(queued.header->lpData, queued.header->dwBufferLength);
            lock.lock();
            lineFree = std::max(lineFree, queued.handedOver) +
                       wireTimePerByte * queued.header->dwBufferLength;
            while (!resetting_ && Clock::now() < lineFree) {
                changed_.wait_until(lock, lineFree);
            }
            writing_ = false;
            giveBack(*queued.header);
            lock.unlock();
            notify(MOM_DONE, reinterpret_cast<DWORD_PTR>(queued.header));
            lock.lock();
        }
    }

    void writeAll(const char* bytes, DWORD count) {
        while (count > 0) {
            DWORD written = 0;
            if (!WriteFile(wire_, bytes, count, &written, nullptr) || written == 0) {
                return; // the wire is gone: the message is lost, as on a pulled cable
            }
            bytes += written;
            count -= written;
        }
    }

    HANDLE wire_;
    DWORD_PTR callback_;
    DWORD_PTR instance_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Queued> queue_;
    bool writing_ = false;
    bool resetting_ = false;
    bool closing_ = false;
    std::thread writer_;
};

// An open input: the reader thread takes what each read from the wire brought, splits it into
// messages and hands them over: SysEx in the caller's buffers, the rest as short messages.
class Input {
  public:
    Input(HANDLE wire, DWORD_PTR callback, DWORD_PTR instance)
        : wire_(wire), callback_(callback), instance_(instance), reader_([this] { read(); }) {}

    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    ~Input() {
        ask(Request::close);
        reader_.join();
        CloseHandle(wire_);
        if (lost_ != 0) {
            const std::string line = "winmm stand-in: " + std::to_string(lost_) +
                                     " bytes of SysEx lost: no buffer was queued\r\n";
            DWORD written = 0;
            WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()),
                      &written, nullptr);
        }
    }

    void notify(UINT message, DWORD_PTR first, DWORD_PTR second) {
        call(callback_, this, message, instance_, first, second);
    }

    void add(MIDIHDR& header) {
        const std::lock_guard lock(mutex_);
        header.dwBytesRecorded = 0;
        header.dwFlags = (header.dwFlags | MHDR_INQUEUE) & ~DWORD{MHDR_DONE};
        buffers_.push_back(&header);
    }

    bool anyQueued() {
        const std::lock_guard lock(mutex_);
        return !buffers_.empty();
    }

    void start() {
        const std::lock_guard lock(mutex_);
        if (!started_) {
            started_ = true;
            startedAt_ = Clock::now();
            forgetMessage();
        }
    }

    enum class Request { none, stop, reset, close };

    // Carried out by the reader thread, so that the buffers come back from it.
    void ask(Request request) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return request_ == Request::none; });
        request_ = request;
        changed_.wait(lock, [this] { return request_ == Request::none; });
    }

  private:
    void read() {
        for (;;) {
            unsigned char bytes[256];
            DWORD count = 0;
            if (!ReadFile(wire_, bytes, sizeof bytes, &count, nullptr)) {
                count = 0;
                Sleep(10); // the wire is gone; keep answering requests
            }
            std::vector<Event> events;
            std::unique_lock lock(mutex_);
            if (started_) {
                for (DWORD i = 0; i < count; ++i) {
                    take(bytes[i], events);
                }
                if (inSysEx_ && !buffers_.empty() && buffers_.front()->dwBytesRecorded != 0) {
                    returnBuffer(MIM_LONGDATA, events);
                }
            }
            const Request request = request_;
            if (request != Request::none) {
                carryOut(request, events);
            }
            lock.unlock();
            for (const Event& event : events) {
                notify(event.message, event.first, event.second);
            }
            if (request != Request::none) {
                lock.lock();
                request_ = Request::none;
                changed_.notify_all();
                if (request == Request::close) {
                    return;
                }
            }
        }
    }

    void carryOut(Request request, std::vector<Event>& events) {
        started_ = false;
        if (request == Request::stop) {
            if (!buffers_.empty() && buffers_.front()->dwBytesRecorded != 0) {
                returnBuffer(MIM_LONGDATA, events);
            }
        } else if (request == Request::reset) {
            while (!buffers_.empty()) {
                returnBuffer(MIM_LONGDATA, events);
            }
        }
        forgetMessage();
    }

    void forgetMessage() {
        inSysEx_ = false;
        partsGiven_ = false;
        runningStatus_ = 0;
        status_ = 0;
    }

    DWORD_PTR sinceStart() const {
        return static_cast<DWORD_PTR>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - startedAt_)
                .count());
    }

    static int dataBytes(unsigned char status) {
        switch (status & 0xF0) {
        case 0xC0:
        case 0xD0:
            return 1;
        case 0xF0:
            return status == 0xF2 ? 2 : status == 0xF1 || status == 0xF3 ? 1 : 0;
        default:
            return 2;
        }
    }

    void take(unsigned char byte, std::vector<Event>& events) {
        if (byte >= 0xF8) {
            events.push_back({MIM_DATA, byte, sinceStart()});
            return;
        }
        if (inSysEx_) {
            if (byte < 0x80 || byte == 0xF7) {
                record(byte, events);
                if (byte == 0xF7) {
                    if (!buffers_.empty() && buffers_.front()->dwBytesRecorded != 0) {
                        returnBuffer(MIM_LONGDATA, events);
                    }
                    inSysEx_ = false;
                }
                return;
            }
            // Cut off by a status byte: whatever part of it is still here comes back marked.
            if (!buffers_.empty() && (buffers_.front()->dwBytesRecorded != 0 || partsGiven_)) {
                returnBuffer(MIM_LONGERROR, events);
            }
            inSysEx_ = false;
        }
        if (byte == 0xF0) {
            inSysEx_ = true;
            partsGiven_ = false;
            runningStatus_ = 0;
            status_ = 0;
            record(byte, events);
            return;
        }
        if (byte >= 0x80) {
            runningStatus_ = byte < 0xF0 ? byte : 0;
            status_ = byte == 0xF7 ? 0 : byte; // an end with no SysEx going ends nothing
            message_ = byte;
            length_ = 0;
            if (status_ != 0 && dataBytes(byte) == 0) {
                events.push_back({MIM_DATA, message_, sinceStart()});
                status_ = 0;
            }
            return;
        }
        if (status_ == 0) {
            if (runningStatus_ == 0) {
                return; // data with no status to belong to
            }
            status_ = message_ = runningStatus_;
            length_ = 0;
        }
        message_ |= DWORD_PTR{byte} << (8 * ++length_);
        if (length_ == dataBytes(status_)) {
            events.push_back({MIM_DATA, message_, sinceStart()});
            status_ = 0;
        }
    }

    void record(unsigned char byte, std::vector<Event>& events) {
        if (buffers_.empty()) {
            ++lost_;
            return;
        }
        MIDIHDR& buffer = *buffers_.front();
        buffer.lpData[buffer.dwBytesRecorded++] = static_cast<char>(byte);
        if (buffer.dwBytesRecorded == buffer.dwBufferLength) {
            returnBuffer(MIM_LONGDATA, events);
        }
    }

    void returnBuffer(UINT message, std::vector<Event>& events) {
        MIDIHDR* buffer = buffers_.front();
        buffers_.pop_front();
        giveBack(*buffer);
        partsGiven_ = inSysEx_;
        events.push_back({message, reinterpret_cast<DWORD_PTR>(buffer), sinceStart()});
    }

    HANDLE wire_;
    DWORD_PTR callback_;
    DWORD_PTR instance_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<MIDIHDR*> buffers_;
    Request request_ = Request::none;
    bool started_ = false;
    Clock::time_point startedAt_;
    bool inSysEx_ = false;
    bool partsGiven_ = false;
    unsigned char runningStatus_ = 0;
    unsigned char status_ = 0;
    DWORD_PTR message_ = 0;
    int length_ = 0;
    unsigned long long lost_ = 0;
    std::thread reader_;
};

// The open devices by number; a handle is the address of its device's object.
std::mutex registryMutex;
std::map<UINT, Output*> outputs;
std::map<UINT, Input*> inputs;

template <typename Port> Port* findPort(const std::map<UINT, Port*>& open, const void* handle) {
    const std::lock_guard lock(registryMutex);
    for (const auto& entry : open) {
        if (entry.second == handle) {
            return entry.second;
        }
    }
    return nullptr;
}

// A device is named by its number or by the handle of it open.
template <typename Port>
bool deviceNumber(const std::map<UINT, Port*>& open, UINT_PTR id, std::size_t count, UINT& number) {
    if (id < count) {
        number = static_cast<UINT>(id);
        return true;
    }
    const std::lock_guard lock(registryMutex);
    for (const auto& entry : open) {
        if (reinterpret_cast<UINT_PTR>(entry.second) == id) {
            number = entry.first;
            return true;
        }
    }
    return false;
}

template <typename Port>
MMRESULT openPort(std::map<UINT, Port*>& open, const wchar_t* devices, void** handle, UINT id,
                  DWORD_PTR callback, DWORD_PTR instance, DWORD flags, Port*& opened) {
    if (handle == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *handle = nullptr;
    if (flags != CALLBACK_NULL && flags != CALLBACK_FUNCTION) {
        return MMSYSERR_INVALFLAG;
    }
    if (id >= deviceNames(devices).size()) {
        return MMSYSERR_BADDEVICEID;
    }
    const std::lock_guard lock(registryMutex);
    if (open.count(id) != 0) {
        return MMSYSERR_ALLOCATED;
    }
    const HANDLE wire = openWire();
    if (wire == INVALID_HANDLE_VALUE) {
        return MMSYSERR_NODRIVER;
    }
    opened = new Port(wire, flags == CALLBACK_FUNCTION ? callback : 0, instance);
    open[id] = opened;
    *handle = opened;
    return MMSYSERR_NOERROR;
}

template <typename Port> void forget(std::map<UINT, Port*>& open, Port* port) {
    const std::lock_guard lock(registryMutex);
    for (auto entry = open.begin(); entry != open.end(); ++entry) {
        if (entry->second == port) {
            open.erase(entry);
            return;
        }
    }
}

// Looks the handle up and does the call's work on its device.
template <typename Port, typename Work>
MMRESULT onPort(const std::map<UINT, Port*>& open, const void* handle, Work work) {
    Port* port = findPort(open, handle);
    return port == nullptr ? MMSYSERR_INVALHANDLE : work(*port);
}

// A header may be queued once prepared, and once only.
MMRESULT queueable(const MIDIHDR* header, UINT size) {
    if (!headerFits(header, size) || header->lpData == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    if ((header->dwFlags & MHDR_PREPARED) == 0) {
        return MIDIERR_UNPREPARED;
    }
    return (header->dwFlags & MHDR_INQUEUE) != 0 ? MIDIERR_STILLPLAYING : MMSYSERR_NOERROR;
}

MMRESULT prepare(LPMIDIHDR header, UINT size) {
    if (!headerFits(header, size)) {
        return MMSYSERR_INVALPARAM;
    }
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT unprepare(LPMIDIHDR header, UINT size) {
    if (!headerFits(header, size)) {
        return MMSYSERR_INVALPARAM;
    }
    if ((header->dwFlags & MHDR_INQUEUE) != 0) {
        return MIDIERR_STILLPLAYING;
    }
    header->dwFlags &= ~DWORD{MHDR_PREPARED};
    return MMSYSERR_NOERROR;
}

} // namespace

extern "C" {

UINT WINAPI midiOutGetNumDevs() {
    return static_cast<UINT>(deviceNames(L"PELITOR_STAND_IN_OUTPUTS").size());
}

MMRESULT WINAPI midiOutGetDevCapsW(UINT_PTR id, LPMIDIOUTCAPSW caps, UINT size) {
    const std::vector<std::wstring> names = deviceNames(L"PELITOR_STAND_IN_OUTPUTS");
    UINT number = 0;
    if (!deviceNumber(outputs, id, names.size(), number)) {
        return MMSYSERR_BADDEVICEID;
    }
    if (caps == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    MIDIOUTCAPSW filled{};
    filled.wMid = manufacturer;
    filled.wPid = outputProduct;
    filled.vDriverVersion = driverVersion;
    copyName(names[number], filled.szPname);
    filled.wTechnology = MOD_MIDIPORT;
    filled.wChannelMask = 0xFFFF;
    std::memcpy(caps, &filled, std::min<std::size_t>(size, sizeof filled));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiOutOpen(LPHMIDIOUT handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                            DWORD flags) {
    Output* output = nullptr;
    const MMRESULT result =
        openPort(outputs, L"PELITOR_STAND_IN_OUTPUTS", reinterpret_cast<void**>(handle), id,
                 callback, instance, flags, output);
    if (result == MMSYSERR_NOERROR) {
        output->notify(MOM_OPEN, 0);
    }
    return result;
}

MMRESULT WINAPI midiOutClose(HMIDIOUT handle) {
    Output* output = findPort(outputs, handle);
    if (output == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (output->busy()) {
        return MIDIERR_STILLPLAYING;
    }
    forget(outputs, output);
    output->notify(MOM_CLOSE, 0);
    delete output;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiOutPrepareHeader(HMIDIOUT handle, LPMIDIHDR header, UINT size) {
    return findPort(outputs, handle) == nullptr ? MMSYSERR_INVALHANDLE : prepare(header, size);
}

MMRESULT WINAPI midiOutUnprepareHeader(HMIDIOUT handle, LPMIDIHDR header, UINT size) {
    return findPort(outputs, handle) == nullptr ? MMSYSERR_INVALHANDLE : unprepare(header, size);
}

MMRESULT WINAPI midiOutLongMsg(HMIDIOUT handle, LPMIDIHDR header, UINT size) {
    return onPort(outputs, handle, [&](Output& output) {
        const MMRESULT result = queueable(header, size);
        if (result == MMSYSERR_NOERROR) {
            output.queue(*header);
        }
        return result;
    });
}

MMRESULT WINAPI midiOutReset(HMIDIOUT handle) {
    return onPort(outputs, handle, [](Output& output) {
        output.reset();
        return MMRESULT{MMSYSERR_NOERROR};
    });
}

UINT WINAPI midiInGetNumDevs() {
    return static_cast<UINT>(deviceNames(L"PELITOR_STAND_IN_INPUTS").size());
}

MMRESULT WINAPI midiInGetDevCapsW(UINT_PTR id, LPMIDIINCAPSW caps, UINT size) {
    const std::vector<std::wstring> names = deviceNames(L"PELITOR_STAND_IN_INPUTS");
    UINT number = 0;
    if (!deviceNumber(inputs, id, names.size(), number)) {
        return MMSYSERR_BADDEVICEID;
    }
    if (caps == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    MIDIINCAPSW filled{};
    filled.wMid = manufacturer;
    filled.wPid = inputProduct;
    filled.vDriverVersion = driverVersion;
    copyName(names[number], filled.szPname);
    std::memcpy(caps, &filled, std::min<std::size_t>(size, sizeof filled));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiInOpen(LPHMIDIIN handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                           DWORD flags) {
    Input* input = nullptr;
    const MMRESULT result =
        openPort(inputs, L"PELITOR_STAND_IN_INPUTS", reinterpret_cast<void**>(handle), id, callback,
                 instance, flags, input);
    if (result == MMSYSERR_NOERROR) {
        input->notify(MIM_OPEN, 0, 0);
    }
    return result;
}

MMRESULT WINAPI midiInClose(HMIDIIN handle) {
    Input* input = findPort(inputs, handle);
    if (input == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (input->anyQueued()) {
        return MIDIERR_STILLPLAYING;
    }
    forget(inputs, input);
    input->notify(MIM_CLOSE, 0, 0);
    delete input;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiInPrepareHeader(HMIDIIN handle, LPMIDIHDR header, UINT size) {
    return findPort(inputs, handle) == nullptr ? MMSYSERR_INVALHANDLE : prepare(header, size);
}

MMRESULT WINAPI midiInUnprepareHeader(HMIDIIN handle, LPMIDIHDR header, UINT size) {
    return findPort(inputs, handle) == nullptr ? MMSYSERR_INVALHANDLE : unprepare(header, size);
}

MMRESULT WINAPI midiInAddBuffer(HMIDIIN handle, LPMIDIHDR header, UINT size) {
    return onPort(inputs, handle, [&](Input& input) {
        MMRESULT result = queueable(header, size);
        if (result == MMSYSERR_NOERROR && header->dwBufferLength == 0) {
            result = MMSYSERR_INVALPARAM; // no room for even one byte
        }
        if (result == MMSYSERR_NOERROR) {
            input.add(*header);
        }
        return result;
    });
}

MMRESULT WINAPI midiInStart(HMIDIIN handle) {
    return onPort(inputs, handle, [](Input& input) {
        input.start();
        return MMRESULT{MMSYSERR_NOERROR};
    });
}

MMRESULT WINAPI midiInStop(HMIDIIN handle) {
    return onPort(inputs, handle, [](Input& input) {
        input.ask(Input::Request::stop);
        return MMRESULT{MMSYSERR_NOERROR};
    });
}

MMRESULT WINAPI midiInReset(HMIDIIN handle) {
    return onPort(inputs, handle, [](Input& input) {
        input.ask(Input::Request::reset);
        return MMRESULT{MMSYSERR_NOERROR};
    });
}

// The programs ask for a fine timer; here every timer is as fine as the host's.
MMRESULT WINAPI timeBeginPeriod(UINT period) {
    return period >= 1 && period <= 16 ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT WINAPI timeEndPeriod(UINT period) {
    return period >= 1 && period <= 16 ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

} // extern "C"
