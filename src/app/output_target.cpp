#include "app/output_target.hpp"

#include "common/output_name.hpp"
#include "platform/platform.hpp"

#include <system_error>

namespace pelitor {

OutputTarget decideOutput(const std::string& input, const std::optional<std::string>& requested) {
    const std::string usual = makeOutputName(input);
    std::string output = usual;
    if (requested) {
        std::error_code ignored;
        const bool isDirectory =
            std::filesystem::is_directory(platform::toPath(*requested), ignored);
        if (!isDirectory && endsInSeparator(*requested)) {
            OutputTarget refused;
            refused.name = platform::displayName(*requested);
            refused.refusal =
                Failure{FailureKind::cannotCreate, "is not an existing directory; "
                                                   "create it, or name the output file"};
            return refused;
        }
        output = placeOutput(usual, *requested, isDirectory);
    }
    OutputTarget target;
    target.path = platform::toPath(output);
    target.name = platform::displayName(output);
    if (platform::sameFile(platform::toPath(input), target.path)) {
        // What was asked for is what has to change.
        target.isInput =
            Failure{FailureKind::cannotCreate,
                    requested ? "is the input file itself; choose another -o"
                              : "is the input file itself; rename the input so that its output "
                                "name differs"};
    }
    return target;
}

} // namespace pelitor
