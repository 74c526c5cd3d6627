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

#include <chrono>

#ifndef PELITOR_VERSION
#error "PELITOR_VERSION is set by the build"
#endif

namespace pelitor::send {
namespace {

// The file's bytes once they have passed the check, or the status it ends with.
struct CheckedFile {
    std::vector<std::uint8_t> bytes;
    SdsStream stream;
};

Result<CheckedFile> readChecked(const std::string& path) {
    auto file = readSdsFile(path);
    if (!file) {
        return file.failure();
    }
    const auto stream = checkSdsStream(file->bytes, file->size);
    if (!stream) {
        return stream.failure();
    }
    return CheckedFile{std::move(file->bytes), *stream};
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
    const auto file = readChecked(options->file);
    if (!file) {
        return fail(errors, subjectName(options->file), file.failure());
    }
    if (options->task == SendOptions::check) {
        out << streamSummary(options->file, file->stream) << '\n' << std::flush;
        return exitSuccess;
    }
    return send(*options, *file, errors);
}

} // namespace pelitor::send
