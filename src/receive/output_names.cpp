#include "receive/output_names.hpp"

#include "common/output_name.hpp"

#include <algorithm>
#include <cctype>

namespace pelitor::receive {
namespace {

// A path split before its extension: the last dot of its file name, unless that name starts
// with it (".syx" is a name, not an extension).
struct SplitName {
    std::string_view stem;
    std::string_view extension;
};

SplitName splitExtension(std::string_view path, std::string_view separators) {
    const std::size_t lastSeparator = path.find_last_of(separators);
    const std::size_t nameStart = lastSeparator == std::string_view::npos ? 0 : lastSeparator + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot <= nameStart) {
        return {path, {}};
    }
    return {path.substr(0, dot), path.substr(dot)};
}

bool endsWithNoCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(), text.end() - ending.size(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace

bool isSdsName(std::string_view path) {
    return endsWithNoCase(path, ".sds") || endsWithNoCase(path, ".syx");
}

std::vector<PlannedOutput> planOutputs(std::string_view dump,
                                       const std::optional<std::string>& output,
                                       bool outputIsDirectory, std::size_t dumps,
                                       std::string_view separators) {
    const std::string usual = std::string(splitExtension(dump, separators).stem) + ".wav";
    const bool named = output && !outputIsDirectory && !endsInSeparator(*output, separators);
    const std::string single =
        output ? placeOutput(usual, *output, outputIsDirectory, separators) : usual;
    std::vector<PlannedOutput> planned;
    if (dumps == 1) {
        planned.push_back({single, named && isSdsName(single), !named});
        return planned;
    }
    const SplitName split = splitExtension(single, separators);
    for (std::size_t number = 1; number <= dumps; ++number) {
        planned.push_back(
            {std::string(split.stem) + "-" + std::to_string(number) + std::string(split.extension),
             named && isSdsName(single), !named});
    }
    return planned;
}

} // namespace pelitor::receive
