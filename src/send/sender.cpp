#include "send/sender.hpp"

#include "common/port_list.hpp"
#include "platform/midi_port.hpp"
#include "platform/platform.hpp"
#include "platform/process.hpp"
#include "platform/terminal.hpp"
#include "sds/reply_scanner.hpp"
#include "sds/sds_stream.hpp"
#include "sds/seven_bit.hpp"
#include "send/file_set.hpp"
#include "send/options.hpp"
#include "send/progress.hpp"
#include "send/sds_input.hpp"
#include "send/send_report.hpp"
#include "send/transfer.hpp"
#include "send/wav_dump.hpp"

#include <array>
#include <chrono>

#ifndef PELITOR_VERSION
#error "PELITOR_VERSION is set by the build"
#endif

namespace pelitor::send {
namespace {

// One file's bytes to send once they have passed the check.
struct CheckedFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
    SdsStream stream;
};
// The file, or the status the run ends with.
struct Checked {
    std::optional<CheckedFile> file;
    int status = exitSuccess;
};

Checked refused(std::ostream& errors, std::string_view subject, const Failure& failure) {
    return {std::nullopt, fail(errors, subject, failure)};
}

// A WAV file is converted here as pelitor converts it; an .sds file is sent as it is, but for
// its sample number where `number` is given.
Checked readChecked(const SendOptions& options, const std::string& path,
                    std::optional<std::uint16_t> number, std::ostream& errors) {
    const std::string name = subjectName(platform::displayName(path));
    auto file = readSdsFile(path);
    if (!file) {
        return refused(errors, name, file.failure());
    }
    if (file->wav) {
        ConversionOptions conversion = options.wordShape;
        conversion.deviceChannel = options.deviceChannel.value_or(conversion.deviceChannel);
        conversion.sampleNumber = number.value_or(conversion.sampleNumber);
        auto dump = dumpOfWav(path, conversion, errors);
        if (!dump.bytes) {
            return {std::nullopt, dump.status};
        }
        file->bytes = std::move(*dump.bytes);
        file->size = file->bytes.size();
    } else if (options.wordShape.loop.kind != LoopRequest::Kind::unset ||
               options.wordShape.bits != 0) {
        return refused(errors, "",
                       {FailureKind::usage, "--loop and --bits shape a WAV file's words; " + name +
                                                " is a sample dump, its words already made"});
    }
    const auto stream = checkSdsStream(file->bytes, file->size);
    if (!stream) {
        return refused(errors, name, stream.failure());
    }
    CheckedFile checked{name, std::move(file->bytes), *stream};
    if (number) {
        const SevenBitPair bytes = splitSevenBitPair(*number);
        checked.bytes[headerSampleNumberIndex] = bytes.low;
        checked.bytes[headerSampleNumberIndex + 1] = bytes.high;
        checked.stream.header.sampleNumber = *number;
    }
    return {std::move(checked)};
}

// Every file read and checked, in the order given, before the port is opened; the first that
// fails ends the run with its status.
struct CheckedSet {
    std::vector<CheckedFile> files;
    int status = exitSuccess;
};

CheckedSet readSet(const SendOptions& options, std::ostream& errors) {
    CheckedSet set;
    std::vector<std::string> names;
    std::vector<std::uint16_t> numbers;
    for (std::size_t i = 0; i < options.files.size(); ++i) {
        std::optional<std::uint16_t> number;
        if (options.sampleNumber) {
            number = static_cast<std::uint16_t>(*options.sampleNumber + i);
        }
        Checked checked = readChecked(options, options.files[i], number, errors);
        if (!checked.file) {
            return {{}, checked.status};
        }
        names.push_back(checked.file->name);
        numbers.push_back(checked.file->stream.header.sampleNumber);
        set.files.push_back(std::move(*checked.file));
    }
    if (auto collision = slotCollision(names, numbers)) {
        return {{}, fail(errors, "", *collision)};
    }
    return set;
}

// Between two dumps in open loop: the sampler may still be storing the last sample, and gets
// the time it would have had to answer a dump header. A refusal or a CANCEL about the dump just
// sent may come now, too late for the handshake: it is the one answer not dropped.
std::optional<Reply> pauseFor(platform::Port& port, const TransferWatch& watch, Time length,
                              std::uint8_t channel) {
    const Time end = watch.now() + length;
    ReplyScanner scanner;
    std::array<std::uint8_t, 64> incoming{};
    for (Time now = watch.now(); now < end && !watch.signalled(); now = watch.now()) {
        const auto count = readUntil(port, end, now, incoming);
        if (!count) {
            return std::nullopt; // the next dump's first write says what is wrong with the port
        }
        for (std::size_t i = 0; i < *count; ++i) {
            const auto reply = scanner.take(incoming[i]);
            if (reply && (reply->type == nakType || reply->type == cancelType) &&
                (reply->deviceChannel == channel || reply->deviceChannel == allChannels)) {
                return reply;
            }
        }
    }
    return std::nullopt;
}

std::string joined(std::span<const CheckedFile> files) {
    std::string names;
    for (const CheckedFile& file : files) {
        names += (names.empty() ? "" : ", ") + file.name;
    }
    return names;
}

int send(const SendOptions& options, std::span<const CheckedFile> files, std::ostream& errors) {
    // Made before the port, so that a signal ends the process only once the port, gone first,
    // has been given back its settings.
    const platform::GracefulEnd graceful;
    auto port = platform::openMidiPort({options.port, options.input, true, false});
    if (!port) {
        return fail(errors, subjectName(options.port), port.failure());
    }
    const auto start = std::chrono::steady_clock::now();
    const TransferWatch watch{[start] { return Time(std::chrono::steady_clock::now() - start); },
                              [&graceful] {
                                  return graceful.signalled();
                              }};
    const bool live = platform::isTerminal(platform::StandardStream::errors);
    std::vector<std::uint16_t> numbers;
    std::size_t closedLoops = 0;
    std::uint64_t resent = 0;
    bool lastClosed = true; // after a closed-loop dump, its last answer has come
    std::uint8_t lastChannel = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const CheckedFile& file = files[i];
        if (!lastClosed) {
            if (const auto late =
                    pauseFor(**port, watch, options.handshake.headerWait, lastChannel)) {
                complain(errors, files[i - 1].name,
                         std::string(late->type == nakType ? "the sampler refused"
                                                           : "the sampler cancelled") +
                             " it after its last packet, too late to send it again; the sample "
                             "it holds may be damaged");
                complain(errors, files[i - 1].name,
                         "the set stops here; not sent: " + joined(files.subspan(i)));
                return exitTempFail;
            }
        }
        const std::uint8_t channel =
            options.deviceChannel.value_or(file.stream.header.deviceChannel);
        lastChannel = channel;
        const std::vector<std::uint8_t> stream =
            channel == file.stream.header.deviceChannel
                ? file.bytes
                : onDeviceChannel(file.bytes, file.stream, channel);
        HandshakeSettings settings = options.handshake;
        settings.packets = file.stream.packets;
        settings.deviceChannel = channel;
        const std::string place = files.size() == 1 ? ""
                                                    : " (file " + std::to_string(i + 1) + " of " +
                                                          std::to_string(files.size()) + ")";
        const TransferEnd end =
            runTransfer({file.name, options.port, stream, file.stream.header.sampleNumber, settings,
                         place, (*port)->hasInput()},
                        **port, watch, errors, live);
        if (end.status != exitSuccess) {
            if (i + 1 < files.size()) {
                complain(errors, file.name,
                         "the set stops here; not sent: " + joined(files.subspan(i + 1)));
            }
            return end.status;
        }
        numbers.push_back(file.stream.header.sampleNumber);
        closedLoops += end.closedLoop ? 1 : 0;
        lastClosed = end.closedLoop;
        resent += end.resent;
    }
    if (files.size() > 1) {
        errors << setSentLine(numbers, watch.now(), closedLoops, resent) << '\n' << std::flush;
    }
    return exitSuccess;
}

} // namespace

int runSender(std::span<const std::string> arguments, std::ostream& out, std::ostream& errors) {
    const auto options = parseSendOptions(arguments);
    if (!options) {
        return fail(errors, "", options.failure());
    }
    switch (options->task) {
    case SendOptions::help:
        out << usageText() << std::flush;
        return exitSuccess;
    case SendOptions::version:
        out << "pelitor-send " PELITOR_VERSION "\n" << std::flush;
        return exitSuccess;
    case SendOptions::list:
        return listPorts(out, errors, "pelitor-send");
    case SendOptions::check:
    case SendOptions::send:
        break;
    }
    const CheckedSet set = readSet(*options, errors);
    if (set.files.empty()) {
        return set.status;
    }
    if (options->task == SendOptions::check) {
        out << streamSummary(options->files[0], set.files[0].stream) << '\n' << std::flush;
        return exitSuccess;
    }
    return send(*options, set.files, errors);
}

} // namespace pelitor::send
