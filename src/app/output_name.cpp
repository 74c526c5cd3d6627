#include "app/output_name.hpp"

namespace pelitor {

std::string makeOutputName(std::string_view inputPath, std::string_view separators) {
    constexpr std::size_t extensionLength = 4;
    const std::size_t lastSeparator = inputPath.find_last_of(separators);
    const std::size_t nameLength = lastSeparator == std::string_view::npos
                                       ? inputPath.size()
                                       : inputPath.size() - lastSeparator - 1;
    std::string output(inputPath);
    if (nameLength > extensionLength) {
        output.resize(output.size() - extensionLength);
    }
    return output + ".sds";
}

} // namespace pelitor
