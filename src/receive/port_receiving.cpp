#include "receive/port_receiving.hpp"

#include "common/progress_line.hpp"
#include "platform/midi_port.hpp"
#include "platform/platform.hpp"
#include "platform/process.hpp"
#include "platform/terminal.hpp"
#include "receive/decoded_line.hpp"
#include "receive/file_decoding.hpp"
#include "receive/live_receive.hpp"
#include "receive/output_writing.hpp"
#include "receive/receive_report.hpp"
#include "receive/reception_report.hpp"
#include "receive/sample_wav.hpp"

namespace pelitor::receive {
namespace {

// What is said before anything comes in: always when listening, since the wait has no end.
std::string startLine(const ReceiveOptions& options) {
    const ReceiveSettings& settings = options.settings;
    if (settings.listen) {
        return "waiting for a dump on " + options.port +
               (settings.deviceChannel
                    ? " on device channel " + std::to_string(*settings.deviceChannel)
                    : std::string(" on any device channel")) +
               "; Ctrl-C stops";
    }
    return "asking " + options.port + " for sample " + std::to_string(settings.sampleNumber) +
           " on device channel " + std::to_string(settings.deviceChannel.value_or(0));
}

} // namespace

int receiveFromPort(const ReceiveOptions& options, std::ostream& errors) {
    const ReceiveSettings& settings = options.settings;
    const std::string portName = subjectName(options.port);
    const auto directory = intoDirectory(options.output);
    if (!directory) {
        return fail(errors, subjectName(platform::displayName(*options.output)),
                    directory.failure());
    }
    // Without OUTPUT, sample-N.wav for the dump's sample number N.
    const auto plan = [&](std::uint16_t sample) {
        return planOutputs("sample-" + std::to_string(sample), options.output, *directory, 1)
            .front();
    };
    const auto refusal = [&](const PlannedOutput& output) {
        return outputRefusal(output, options.port, "the port");
    };
    if (!settings.listen) {
        if (const auto failure = refusal(plan(settings.sampleNumber))) {
            return fail(errors,
                        subjectName(platform::displayName(plan(settings.sampleNumber).path)),
                        *failure);
        }
    }
    // Made before the port, so that a signal ends the process only once the port, gone first,
    // has been given back its settings.
    const platform::GracefulEnd graceful;
    auto port = platform::openMidiPort({options.port, options.input, !settings.listen, true});
    if (!port) {
        return fail(errors, portName, port.failure());
    }
    const bool live = platform::isTerminal(platform::StandardStream::errors);
    if (settings.listen || !live) {
        errors << startLine(options) << '\n' << std::flush;
    }
    if (!(*port)->hasOutput()) {
        complain(errors, portName,
                 "has no MIDI output, so the sampler gets no answers: it must send the dump in "
                 "open loop");
    }
    ProgressRewrite display(live ? platform::terminalColumns(platform::StandardStream::errors) : 0,
                            !live ||
                                platform::terminalClearsLines(platform::StandardStream::errors));
    const auto start = std::chrono::steady_clock::now();
    const TransferWatch watch{[start] { return Time(std::chrono::steady_clock::now() - start); },
                              [&graceful] {
                                  return graceful.signalled();
                              }};
    const auto progress = [&](const Reception& reception, Time now) {
        if (live && display.due(now, false)) {
            errors << display.rewrite(
                          receiveProgressLine(portName, reception, now, display.columns()))
                   << std::flush;
        }
    };
    const auto reception = receiveDump(settings, **port, watch, progress);
    errors << display.end() << std::flush;
    if (!reception) {
        return fail(errors, portName, reception.failure());
    }
    if (auto failure = receptionFailure(*reception, settings)) {
        return fail(errors, portName, *failure);
    }
    const DumpAssembly& dump = *reception->handshake.dump();
    const PlannedOutput output = plan(dump.header().sampleNumber);
    const std::string outputName = subjectName(platform::displayName(output.path));
    if (const auto failure = refusal(output)) {
        return fail(errors, outputName, *failure);
    }
    if (dump.shortened()) {
        complain(errors, portName, shortenedLine(dump.header()));
    }
    for (const std::string& line :
         settings.keepDamaged ? keptPacketLines(dump) : std::vector<std::string>()) {
        complain(errors, portName, line);
    }
    if (dump.header().wordCount == 0) {
        complain(errors, portName, "the dump holds no words");
    }
    if (graceful.signalled()) {
        return fail(errors, portName,
                    {FailureKind::temporaryFailure, "interrupted; nothing was written"});
    }
    const auto written = writeWhole(
        output.path, output.sds ? dump.messages() : sampleWav(dump.header(), dump.samples()));
    if (written) {
        return fail(errors, outputName, *written);
    }
    errors << receivedLine(platform::displayName(output.path), dump.header(), !output.sds,
                           dump.packets(),
                           reception->endedAt - reception->headerAt.value_or(reception->endedAt),
                           reception->handshake.naks())
           << '\n'
           << std::flush;
    return exitSuccess;
}

} // namespace pelitor::receive
