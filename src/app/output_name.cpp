#include "app/output_name.hpp"

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

} // namespace pelitor
