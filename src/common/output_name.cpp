#include "common/output_name.hpp"

#include <filesystem>

namespace pelitor {

std::string makeOutputName(std::string_view inputPath, std::string_view separators) {
    constexpr std::size_t extensionLength = 4;
    const std::size_t lastSeparator = inputPath.find_last_of(separators);
    const std::size_t nameLength = lastSeparator == std::string_view::npos
                                       ? inputPath.size()
                                       : inputPath.size() - lastSeparator - 1;
    std::string output(inputPath);
    // Never cut a UTF-8 character in two: a name whose last four bytes start inside one has no
    // extension to replace.
    const auto isContinuation = [&] {
        return (static_cast<unsigned char>(inputPath[inputPath.size() - extensionLength]) & 0xC0) ==
               0x80;
    };
    if (nameLength > extensionLength && !isContinuation()) {
        output.resize(output.size() - extensionLength);
    }
    return output + ".sds";
}

bool endsInSeparator(std::string_view path, std::string_view separators) {
    return !path.empty() && separators.find(path.back()) != std::string_view::npos;
}

std::string placeOutput(std::string_view usualOutput, std::string_view requested, bool isDirectory,
                        std::string_view separators) {
    std::string output(requested);
    if (!isDirectory && !endsInSeparator(requested, separators)) {
        return output;
    }
    if (!endsInSeparator(requested, separators)) {
        output += static_cast<char>(std::filesystem::path::preferred_separator);
    }
    const std::size_t lastSeparator = usualOutput.find_last_of(separators);
    return output + std::string(lastSeparator == std::string_view::npos
                                    ? usualOutput
                                    : usualOutput.substr(lastSeparator + 1));
}

} // namespace pelitor
