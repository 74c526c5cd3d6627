#include "receive/receiver.hpp"

#include "common/atomic_file.hpp"
#include "common/exit_status.hpp"
#include "common/message_line.hpp"
#include "common/output_name.hpp"
#include "platform/platform.hpp"
#include "receive/decoded_line.hpp"
#include "receive/dump_file.hpp"
#include "receive/file_decoding.hpp"
#include "receive/options.hpp"
#include "receive/output_names.hpp"
#include "receive/sample_wav.hpp"
#include "send/port_list.hpp"

#include <filesystem>

#ifndef PELITOR_VERSION
#error "PELITOR_VERSION is set by the build"
#endif

namespace pelitor::receive {
namespace {

constexpr std::string_view program = "pelitor-receive";

// "pelitor-receive: <file>: <what>"; a usage error has no subject.
void complain(std::ostream& errors, std::string_view subject, std::string_view what) {
    writeMessageLine(errors, program, subject, what);
}

// The one place a failure becomes its line and the status the run ends with.
int fail(std::ostream& errors, std::string_view subject, const Failure& failure) {
    complain(errors, subject, failure.message);
    return exitStatusFor(failure.kind);
}

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
            complain(errors, dumpName,
                     label + "the last packet, which would hold only word " +
                         std::to_string(assembly.header().wordCount) +
                         ", is missing, as some samplers never send it: the sample is " +
                         std::to_string(assembly.header().wordCount) + " words");
        }
        const std::vector<std::string> lines = lostPacketLines(dumps[index]);
        if (lines.empty()) {
            continue;
        }
        if (!keepDamaged) {
            const std::size_t more = lines.size() - 1;
            return dataError(label + lines.front() +
                             (more == 0
                                  ? std::string()
                                  : " (and " + std::to_string(more) +
                                        (more == 1 ? " more packet" : " more packets") + " lost)") +
                             "; --keep-damaged writes the WAV anyway");
        }
        for (const std::string& line : lines) {
            complain(errors, dumpName, label + line + "; kept as it is");
        }
    }
    return std::nullopt;
}

// Why an output cannot be written where it is planned, before anything is written.
std::optional<Failure> outputRefusal(const PlannedOutput& output, const std::string& dump) {
    const std::filesystem::path path = platform::toPath(output.path);
    if (platform::sameFile(platform::toPath(dump), path)) {
        return Failure{FailureKind::cannotCreate, "is the dump file itself; give another OUTPUT"};
    }
    std::error_code error;
    if (output.defaultName &&
        std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
        return Failure{FailureKind::cannotCreate,
                       "exists, and a default output name never replaces a file: give OUTPUT "
                       "to replace it"};
    }
    return std::nullopt;
}

std::optional<Failure> writeWhole(const std::filesystem::path& path,
                                  std::span<const std::uint8_t> bytes) {
    AtomicFile file(path);
    if (auto failure = file.open(bytes.size())) {
        return failure;
    }
    if (auto failure = file.write(bytes)) {
        return failure;
    }
    return file.commit();
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
    if (auto failure = settleDumps(*dumps, options.keepDamaged, dumpName, errors)) {
        return fail(errors, dumpName, *failure);
    }
    std::error_code ignored;
    const bool intoDirectory =
        options.output && std::filesystem::is_directory(platform::toPath(*options.output), ignored);
    if (options.output && !intoDirectory && endsInSeparator(*options.output)) {
        return fail(errors, subjectName(platform::displayName(*options.output)),
                    {FailureKind::cannotCreate,
                     "is not an existing directory; create it, or name the output file"});
    }
    const auto outputs = planOutputs(options.dump, options.output, intoDirectory, dumps->size());
    for (const PlannedOutput& output : outputs) {
        if (auto failure = outputRefusal(output, options.dump)) {
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
        const auto written = writeWhole(
            platform::toPath(output.path),
            output.sds ? assembly.messages() : sampleWav(assembly.header(), assembly.samples()));
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
        return send::listPorts(out, errors, program);
    case ReceiveOptions::file:
        break;
    }
    return decodeFile(*options, errors);
}

} // namespace pelitor::receive
