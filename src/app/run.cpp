#include "app/run.hpp"

#include "app/conversion.hpp"
#include "app/exit_status.hpp"
#include "app/input_file.hpp"
#include "app/output_name.hpp"
#include "app/report.hpp"
#include "app/sds_file.hpp"
#include "platform/platform.hpp"

#include <exception>
#include <new>

namespace pelitor {

int run(std::span<const std::string> arguments, const Console& console) {
    console.out << "Pelitor Ver 0.01\n" << std::flush;
    console.out << '\n' << std::flush;
    if (arguments.size() < 2) {
        console.out << "!! usage >pelitor [WavFile]\n" << std::flush;
        return exitSuccess;
    }
    // Further arguments are ignored.
    const std::string& inputArgument = arguments[1];
    const std::string inputName = platform::displayName(inputArgument);
    const auto inputPath = platform::toPath(inputArgument);

    auto input = InputFile::open(inputPath);
    if (!input) {
        return fail(console.errors, inputName, input.failure());
    }

    const std::string outputArgument = makeOutputName(inputArgument);
    const auto outputPath = platform::toPath(outputArgument);
    SdsFile output(outputPath, platform::displayName(outputArgument));
    return convert({**input, inputName, output, platform::sameFile(inputPath, outputPath)},
                   console);
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
