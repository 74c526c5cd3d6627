#include "common/command_line.hpp"

#include <algorithm>
#include <charconv>
#include <optional>

namespace pelitor {
namespace {

Failure usage(std::string message) {
    return {FailureKind::usage, std::move(message)};
}

const OptionDefinition* findLong(std::span<const OptionDefinition> definitions,
                                 std::string_view name) {
    const auto found = std::find_if(
        definitions.begin(), definitions.end(),
        [&](const OptionDefinition& definition) { return definition.longName == name; });
    return found == definitions.end() ? nullptr : &*found;
}

const OptionDefinition* findShort(std::span<const OptionDefinition> definitions, char name) {
    const auto found = std::find_if(
        definitions.begin(), definitions.end(), [&](const OptionDefinition& definition) {
            return definition.shortName != 0 && definition.shortName == name;
        });
    return found == definitions.end() ? nullptr : &*found;
}

bool looksLikeOption(std::string_view argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// The option an argument names, with the value it carries inline, if it names one of ours.
struct Named {
    const OptionDefinition* definition = nullptr;
    std::string written;
    std::optional<std::string> inlineValue;
};

Named name(std::string_view argument, std::span<const OptionDefinition> definitions) {
    if (argument.starts_with("--")) {
        const std::size_t equals = argument.find('=');
        const std::string_view longName = argument.substr(2, equals - 2);
        Named named{findLong(definitions, longName), std::string(argument.substr(0, equals)), {}};
        if (equals != std::string_view::npos) {
            named.inlineValue = std::string(argument.substr(equals + 1));
        }
        return named;
    }
    Named named{findShort(definitions, argument[1]), std::string(argument.substr(0, 2)), {}};
    if (argument.size() > 2) {
        named.inlineValue = std::string(argument.substr(2));
    }
    return named;
}

} // namespace

Result<CommandLine> parseCommandLine(std::span<const std::string> arguments,
                                     std::span<const OptionDefinition> definitions,
                                     std::string_view operandsName, UnknownOptionHint unknownHint) {
    CommandLine line;
    std::size_t next = 0;
    while (next < arguments.size()) {
        const std::string& argument = arguments[next++];
        if (argument == "--") {
            line.operands.insert(line.operands.end(),
                                 arguments.begin() + static_cast<std::ptrdiff_t>(next),
                                 arguments.end());
            break;
        }
        if (!looksLikeOption(argument)) {
            line.operands.push_back(argument);
            continue;
        }
        Named named = name(argument, definitions);
        if (named.definition == nullptr) {
            return usage(named.written + ": unknown option" +
                         (unknownHint != nullptr ? unknownHint(argument) : ""));
        }
        if (!line.operands.empty()) {
            return usage(argument + ": options go before " + std::string(operandsName));
        }
        if (!named.definition->takesValue) {
            if (named.inlineValue) {
                return usage(argument + ": " + named.written + " takes no value");
            }
            line.options.push_back({named.definition, named.written, {}});
            continue;
        }
        if (!named.inlineValue) {
            if (next == arguments.size()) {
                return usage(named.written + ": needs a value");
            }
            named.inlineValue = arguments[next++];
        }
        line.options.push_back({named.definition, named.written, *named.inlineValue});
    }
    return line;
}

Result<std::uint32_t> optionNumber(const GivenOption& option, std::uint32_t first,
                                   std::uint32_t last) {
    const std::string& text = option.value;
    std::uint32_t number = 0;
    const bool digitsOnly = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (!digitsOnly || error != std::errc() || end != text.data() + text.size() || number < first ||
        number > last) {
        return usage(option.written + " " + text + ": must be " + std::to_string(first) + " to " +
                     std::to_string(last));
    }
    return number;
}

Result<std::uint32_t> optionNumber(const GivenOption& option) {
    return optionNumber(option, option.definition->number.first, option.definition->number.last);
}

namespace {

std::string expandHelp(std::string_view text, const NumberRange& number) {
    std::string expanded;
    while (!text.empty()) {
        const std::size_t brace = text.find('{');
        expanded += text.substr(0, brace);
        if (brace == std::string_view::npos) {
            break;
        }
        text.remove_prefix(brace);
        if (text.starts_with("{range}")) {
            expanded += std::to_string(number.first) + " to " + std::to_string(number.last);
            text.remove_prefix(7);
        } else if (text.starts_with("{default}")) {
            expanded += std::to_string(number.byDefault);
            text.remove_prefix(9);
        } else {
            expanded += '{';
            text.remove_prefix(1);
        }
    }
    return expanded;
}

} // namespace

std::string optionHelp(std::span<const OptionDefinition> definitions, std::size_t column) {
    std::string help;
    for (const OptionDefinition& definition : definitions) {
        for (std::size_t index = 0; index < definition.help.size(); ++index) {
            const HelpLine& line = definition.help[index];
            std::string names = "  ";
            if (index == 0 || !line.value.empty()) {
                if (definition.shortName != 0) {
                    names.append(1, '-').append(1, definition.shortName).append(", ");
                } else {
                    names.append(4, ' ');
                }
                names.append("--").append(definition.longName);
                if (!line.value.empty()) {
                    names.append(1, ' ').append(line.value);
                }
            }
            names.resize(std::max(column, names.size() + 1), ' ');
            help += names + expandHelp(line.text, definition.number) + '\n';
        }
    }
    return help;
}

} // namespace pelitor
