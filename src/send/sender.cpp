#include "send/sender.hpp"

#include "platform/midi_port.hpp"
#include "platform/platform.hpp"
#include "platform/process.hpp"
#include "platform/terminal.hpp"
#include "sds/sds_stream.hpp"
#include "send/options.hpp"
#include "send/port_list.hpp"
#include "send/progress.hpp"
#include "send/sds_input.hpp"
#include "send/send_report.hpp"
#include "send/transfer.hpp"
#include "send/wav_dump.hpp"

#include <chrono>

#ifndef PELITOR_VERSION
#error "PELITOR_VERSION is set by the build"
#endif

namespace pelitor::send {
namespace {

// The bytes to send once they have passed the check, or the status the run ends with.
struct CheckedFile {
    std::vector<std::uint8_t> bytes;
    SdsStream stream;
};
struct Checked {
    std::optional<CheckedFile> file;
    int status = exitSuccess;
};

Checked refused(std::ostream& errors, const std::string& path, const Failure& failure) {
    return {std::nullopt, fail(errors, subjectName(path), failure)};
}

// A WAV file is converted here as pelitor converts it; an .sds file is sent as it is, but for
// its sample number if -n gives one.
Checked readChecked(const SendOptions& options, std::ostream& errors) {
    const std::string& path = options.file;
    auto file = readSdsFile(path);
    if (!file) {
        return refused(errors, path, file.failure());
    }
    if (file->wav) {
        ConversionOptions conversion = options.wordShape;
        conversion.deviceChannel = options.deviceChannel.value_or(conversion.deviceChannel);
        conversion.sampleNumber = options.sampleNumber.value_or(conversion.sampleNumber);
        auto dump = dumpOfWav(path, conversion, errors);
        if (!dump.bytes) {
            return {std::nullopt, dump.status};
        }
        file->bytes = std::move(*dump.bytes);
        file->size = file->bytes.size();
    } else if (options.wordShape.loop.kind != LoopRequest::Kind::unset ||
               options.wordShape.bits != 0) {
        return {std::nullopt,
                fail(errors, "",
                     Failure{FailureKind::usage, "--loop and --bits shape a WAV file's words; " +
                                                     subjectName(path) +
                                                     " is a sample dump, its words already made"})};
    }
    const auto stream = checkSdsStream(file->bytes, file->size);
    if (!stream) {
        return refused(errors, path, stream.failure());
    }
    CheckedFile checked{std::move(file->bytes), *stream};
    if (options.sampleNumber) {
        const std::uint16_t number = *options.sampleNumber;
        checked.bytes[headerSampleNumberIndex] = static_cast<std::uint8_t>(number & 0x7F);
        checked.bytes[headerSampleNumberIndex + 1] = static_cast<std::uint8_t>(number >> 7);
        checked.stream.header.sampleNumber = number;
    }
    return {std::move(checked)};
}

int send(const SendOptions& options, const CheckedFile& file, std::ostream& errors) {
    // Made before the port, so that a signal ends the process only once the port, gone first,
    // has been given back its settings.
    const platform::GracefulEnd graceful;
    auto port = platform::openMidiPort(options.port);
    if (!port) {
        return fail(errors, subjectName(options.port), port.failure());
    }
    const std::uint8_t channel = options.deviceChannel.value_or(file.stream.header.deviceChannel);
    const std::vector<std::uint8_t> stream =
        channel == file.stream.header.deviceChannel
            ? file.bytes
            : onDeviceChannel(file.bytes, file.stream, channel);
    const auto start = std::chrono::steady_clock::now();
    const TransferWatch watch{[start] { return Time(std::chrono::steady_clock::now() - start); },
                              [&graceful] {
                                  return graceful.signalled();
                              }};
    HandshakeSettings settings = options.handshake;
    settings.packets = file.stream.packets;
    settings.deviceChannel = channel;
    return runTransfer(
        {options.file, options.port, stream, file.stream.header.sampleNumber, settings}, **port,
        watch, errors, platform::isTerminal(platform::StandardStream::errors));
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
    // The whole file is checked before the port is opened.
    const Checked checked = readChecked(*options, errors);
    if (!checked.file) {
        return checked.status;
    }
    const CheckedFile& file = *checked.file;
    if (options->task == SendOptions::check) {
        out << streamSummary(options->file, file.stream) << '\n' << std::flush;
        return exitSuccess;
    }
    return send(*options, file, errors);
}

} // namespace pelitor::send
