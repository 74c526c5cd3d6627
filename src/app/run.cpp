#include "app/run.hpp"

#include "app/conversion.hpp"
#include "app/exit_status.hpp"
#include "app/input_file.hpp"
#include "app/invocation.hpp"
#include "app/output_target.hpp"
#include "app/report.hpp"
#include "app/sds_file.hpp"
#include "platform/platform.hpp"

#include <exception>
#include <new>

namespace pelitor {
namespace {

constexpr const char* bannerLine = "Pelitor Ver " PELITOR_VERSION "\n";

std::string inputDisplayName(const std::string& argument) {
    return subjectName(platform::displayName(argument));
}

} // namespace

int run(std::span<const std::string> arguments, const Console& console) {
    const auto invocation = parseInvocation(arguments.subspan(arguments.empty() ? 0 : 1));
    // Asked for, help and version are shown even when quiet; a wrong command line is not known
    // to be quiet.
    const bool quiet =
        invocation && invocation->quiet && invocation->request == Invocation::Request::convert;
    if (!quiet) {
        console.out << bannerLine << std::flush;
        if (invocation && invocation->request == Invocation::Request::version) {
            return exitSuccess;
        }
        console.out << '\n' << std::flush;
    }
    if (!invocation) {
        return fail(console.errors, "", invocation.failure());
    }
    if (invocation->request == Invocation::Request::usage) {
        console.out << "!! usage >pelitor [WavFile]\n" << std::flush;
        return exitSuccess;
    }
    if (invocation->request == Invocation::Request::help) {
        console.out << helpText() << std::flush;
        return exitSuccess;
    }
    if (const std::size_t ignored = invocation->ignoredArguments; ignored > 0) {
        warn(console.errors, "",
             std::to_string(ignored) + (ignored == 1 ? " further argument" : " further arguments") +
                 " ignored: pelitor converts one file per run");
    }

    const std::string inputName = inputDisplayName(invocation->input);
    const auto inputPath = platform::toPath(invocation->input);
    auto input = InputFile::open(inputPath);
    if (!input) {
        return fail(console.errors, inputName, input.failure());
    }

    const OutputTarget target = decideOutput(invocation->input, invocation->output);
    if (target.refusal) {
        return fail(console.errors, target.name, *target.refusal);
    }
    SdsFile output(target.path, target.name);
    Console shown = console;
    shown.quiet = quiet;
    return convert({**input, inputName, output, target.isInput}, invocation->options, shown);
}

int runProgram(int argc, char** argv, const Console& console, bool outputClosed) {
    try {
        const std::vector<std::string> arguments = platform::commandLine(argc, argv);
        const int status = run(arguments, console);
        // The .sds is the product: a lost console does not fail the run, but is told once.
        if (outputClosed || !console.out) {
            warn(console.errors, "standard output", "could not be written");
        }
        return status;
    } catch (const std::bad_alloc&) {
        // Any temporary output has been removed as the run unwound.
        console.errors << "Abnormal program termination\n" << std::flush;
        return exitAbnormal;
    } catch (const std::exception& error) {
        console.errors << "pelitor: " << error.what() << '\n' << std::flush;
        return exitAbnormal;
    }
}

} // namespace pelitor
