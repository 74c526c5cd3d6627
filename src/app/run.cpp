#include "app/run.hpp"

#include "app/conversion.hpp"
#include "app/exit_status.hpp"
#include "app/input_file.hpp"
#include "app/invocation.hpp"
#include "app/output_name.hpp"
#include "app/report.hpp"
#include "app/sds_file.hpp"
#include "platform/platform.hpp"

#include <exception>
#include <filesystem>
#include <new>

namespace pelitor {

namespace {

constexpr const char* bannerLine = "Pelitor Ver " PELITOR_VERSION "\n";

// The output's path as given: beside the input, or where -o says.
Result<std::string> outputArgument(const Invocation& invocation) {
    const std::string usual = makeOutputName(invocation.input);
    if (!invocation.output) {
        return usual;
    }
    const std::string& requested = *invocation.output;
    std::error_code ignored;
    const bool isDirectory = std::filesystem::is_directory(platform::toPath(requested), ignored);
    if (!isDirectory && endsInSeparator(requested)) {
        return Failure{FailureKind::cannotCreate,
                       "is not an existing directory; create it, or name the output file"};
    }
    return placeOutput(usual, requested, isDirectory);
}

} // namespace

int run(std::span<const std::string> arguments, const Console& console) {
    const auto invocation = parseInvocation(arguments.subspan(arguments.empty() ? 0 : 1));
    console.out << bannerLine << std::flush;
    if (invocation && invocation->request == Invocation::Request::version) {
        return exitSuccess;
    }
    console.out << '\n' << std::flush;
    if (!invocation) {
        return fail(console.errors, "", invocation.failure());
    }
    if (invocation->request == Invocation::Request::usage) {
        console.out << "!! usage >pelitor [WavFile]\n" << std::flush;
        return exitSuccess;
    }
    if (invocation->request == Invocation::Request::help) {
        console.out << helpText << std::flush;
        return exitSuccess;
    }
    if (const std::size_t ignored = invocation->ignoredArguments; ignored > 0) {
        warn(console.errors, "",
             std::to_string(ignored) + (ignored == 1 ? " further argument" : " further arguments") +
                 " ignored: pelitor converts one file per run");
    }

    const std::string inputName = platform::displayName(invocation->input);
    const auto inputPath = platform::toPath(invocation->input);
    auto input = InputFile::open(inputPath);
    if (!input) {
        return fail(console.errors, inputName, input.failure());
    }

    const auto outputName = outputArgument(*invocation);
    if (!outputName) {
        return fail(console.errors, platform::displayName(*invocation->output),
                    outputName.failure());
    }
    const auto outputPath = platform::toPath(*outputName);
    SdsFile output(outputPath, platform::displayName(*outputName));
    return convert({**input, inputName, output, platform::sameFile(inputPath, outputPath)},
                   invocation->options, console);
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
