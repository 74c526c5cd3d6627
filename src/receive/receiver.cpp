#include "receive/receiver.hpp"

#include "common/exit_status.hpp"
#include "common/message_line.hpp"
#include "common/output_name.hpp"
#include "common/port_list.hpp"
#include "platform/platform.hpp"
#include "receive/decoded_line.hpp"
#include "receive/dump_file.hpp"
#include "receive/file_decoding.hpp"
#include "receive/options.hpp"
#include "receive/output_names.hpp"
#include "receive/output_writing.hpp"
#include "receive/port_receiving.hpp"
#include "receive/receive_report.hpp"
#include "receive/sample_wav.hpp"

#include <filesystem>

#ifndef PELITOR_VERSION
#error "PELITOR_VERSION is set by the build"
#endif

namespace pelitor::receive {
namespace {

constexpr std::string_view program = "pelitor-receive";

Failure dataError(std::string message) {
    return {FailureKind::dataError, std::move(message)};
}

// How messages about one of several dumps start: "dump 2 at byte 2944: ".
std::string dumpLabel(const std::vector<FoundDump>& dumps, std::size_t index) {
    if (dumps.size() == 1) {
        return "";
    }
    return "dump " + std::to_string(index + 1) + " at byte " + std::to_string(dumps[index].offset) +
           ": ";
}

// Takes each dump as it can be written: one that lacks only its single-word last packet one
// word shorter; one that lacks other packets refused, unless they are to be kept as they are.
std::optional<Failure> settleDumps(std::vector<FoundDump>& dumps, bool keepDamaged,
                                   std::string_view dumpName, std::ostream& errors) {
    for (std::size_t index = 0; index < dumps.size(); ++index) {
        DumpAssembly& assembly = dumps[index].assembly;
        const std::string label = dumpLabel(dumps, index);
        if (assembly.lacksOnlyLastWord()) {
            assembly.dropLastWord();
            complain(errors, dumpName, label + shortenedLine(assembly.header()));
        }
        const std::vector<std::string> lines = lostPacketLines(dumps[index]);
        if (lines.empty()) {
            continue;
        }
        if (!keepDamaged) {
            return dataError(label + lostPacketsRefusal(lines));
        }
        for (const std::string& line : lines) {
            complain(errors, dumpName, label + line + "; kept as it is");
        }
    }
    return std::nullopt;
}

int decodeFile(const ReceiveOptions& options, std::ostream& errors) {
    const std::string dumpName = subjectName(platform::displayName(options.dump));
    const auto bytes = readDumpFile(options.dump);
    if (!bytes) {
        return fail(errors, dumpName, bytes.failure());
    }
    auto dumps = findDumps(*bytes);
    if (!dumps) {
        return fail(errors, dumpName, dumps.failure());
    }
    if (auto failure = settleDumps(*dumps, options.settings.keepDamaged, dumpName, errors)) {
        return fail(errors, dumpName, *failure);
    }
    const auto directory = intoDirectory(options.output);
    if (!directory) {
        return fail(errors, subjectName(platform::displayName(*options.output)),
                    directory.failure());
    }
    const auto outputs = planOutputs(options.dump, options.output, *directory, dumps->size());
    for (const PlannedOutput& output : outputs) {
        if (auto failure = outputRefusal(output, options.dump, "the dump file")) {
            return fail(errors, subjectName(platform::displayName(output.path)), *failure);
        }
    }
    for (std::size_t index = 0; index < outputs.size(); ++index) {
        const DumpAssembly& assembly = (*dumps)[index].assembly;
        const PlannedOutput& output = outputs[index];
        const std::string outputName = platform::displayName(output.path);
        if (assembly.header().wordCount == 0) {
            complain(errors, dumpName, dumpLabel(*dumps, index) + "the dump holds no words");
        }
        const auto written =
            writeWhole(output.path, output.sds ? assembly.messages()
                                               : sampleWav(assembly.header(), assembly.samples()));
        if (written) {
            return fail(errors, outputName, *written);
        }
        errors << decodedLine(outputName, assembly.header(), !output.sds) << '\n' << std::flush;
    }
    return exitSuccess;
}

} // namespace

int runReceiver(std::span<const std::string> arguments, std::ostream& out, std::ostream& errors) {
    const auto options = parseReceiveOptions(arguments);
    if (!options) {
        return fail(errors, "", options.failure());
    }
    switch (options->task) {
    case ReceiveOptions::help:
        out << usageText() << std::flush;
        return exitSuccess;
    case ReceiveOptions::version:
        out << "pelitor-receive " PELITOR_VERSION "\n" << std::flush;
        return exitSuccess;
    case ReceiveOptions::list:
        return listPorts(out, errors, program);
    case ReceiveOptions::receive:
        return receiveFromPort(*options, errors);
    case ReceiveOptions::file:
        break;
    }
    return decodeFile(*options, errors);
}

} // namespace pelitor::receive
