#include "app/run.hpp"

#include "app/exit_status.hpp"
#include "app/input_file.hpp"
#include "app/output_name.hpp"
#include "app/platform.hpp"
#include "app/report.hpp"
#include "app/sds_file.hpp"

#include <filesystem>
#include <memory>
#include <variant>

namespace pelitor {

int run(std::span<const std::string> arguments, const Console& console,
        SampleBufferAllocator allocate) {
    console.out << "Pelitor Ver 0.01\n" << std::flush;
    console.out << '\n' << std::flush;
    if (arguments.size() < 2) {
        console.out << "!! usage >pelitor [WavFile]\n" << std::flush;
        return exitSuccess;
    }
    // Further arguments are ignored.
    const std::string& inputArgument = arguments[1];
    const std::string inputName = platform::displayName(inputArgument);

    auto opened = InputFile::open(platform::toPath(inputArgument));
    if (const auto* error = std::get_if<std::string>(&opened)) {
        report(console.errors, inputName, *error);
        return exitNoInput;
    }
    InputFile& input = *std::get<std::unique_ptr<InputFile>>(opened);

    const std::string outputArgument = makeOutputName(inputArgument);
    SdsFile output(platform::toPath(outputArgument), platform::displayName(outputArgument),
                   platform::toPath(inputArgument));
    return convert(input, inputName, output, console, allocate);
}

} // namespace pelitor
