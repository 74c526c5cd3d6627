#include "send/options.hpp"

#include "common/command_line.hpp"

namespace pelitor::send {
namespace {

constexpr OptionDefinition definitions[] = {
    {"interval", 'i', true}, {"retries", 'r', true}, {"device", 'd', true},   {"list", 0, false},
    {"check", 0, false},     {"help", 'h', false},   {"version", 'V', false},
};

Failure usage(std::string message) {
    return {FailureKind::usage, std::move(message)};
}

} // namespace

const char* const usageText =
    "usage: pelitor-send [options] PORT FILE.sds   send a sample to a sampler\n"
    "       pelitor-send --list                    list the raw MIDI ports\n"
    "       pelitor-send --check FILE.sds          check a file without sending it\n"
    "       pelitor-send --help | --version\n"
    "\n"
    "PORT is an ALSA raw MIDI port, hw:CARD,DEVICE as --list shows it, or the path of a\n"
    "character device or pseudo-terminal.\n"
    "\n"
    "options:\n"
    "  -i, --interval MS  pause between packets when the sampler does not answer\n"
    "                     (0 to 10000, default 20)\n"
    "  -r, --retries N    resends of a packet the sampler refuses (0 to 100, default 5)\n"
    "  -d, --device N     device channel of every message sent and of the replies\n"
    "                     (0 to 127, default: the file's)\n";

Result<SendOptions> parseSendOptions(std::span<const std::string> arguments) {
    const auto line = parseCommandLine(arguments, definitions, "PORT and FILE.sds");
    if (!line) {
        return line.failure();
    }
    SendOptions options;
    bool help = false;
    bool version = false;
    bool list = false;
    bool check = false;
    for (const GivenOption& option : line->options) {
        const std::string_view name = option.definition->longName;
        if (!option.definition->takesValue) {
            (name == "help"      ? help
             : name == "version" ? version
             : name == "list"    ? list
                                 : check) = true;
            continue;
        }
        const auto number = name == "interval"  ? optionNumber(option, 0, 10000)
                            : name == "retries" ? optionNumber(option, 0, 100)
                                                : optionNumber(option, 0, 127);
        if (!number) {
            return number.failure();
        }
        if (name == "interval") {
            options.interval = std::chrono::milliseconds(*number);
        } else if (name == "retries") {
            options.retries = *number;
        } else {
            options.deviceChannel = static_cast<std::uint8_t>(*number);
        }
    }
    if (list && check) {
        return usage("--list and --check: one at a time");
    }
    options.task = help      ? SendOptions::help
                   : version ? SendOptions::version
                   : list    ? SendOptions::list
                   : check   ? SendOptions::check
                             : SendOptions::send;
    const std::size_t operands = line->operands.size();
    switch (options.task) {
    case SendOptions::send:
        if (operands != 2) {
            return usage(operands < 2 ? "PORT and FILE.sds expected (see --help)"
                                      : "too many operands: PORT and FILE.sds expected");
        }
        options.port = line->operands[0];
        options.file = line->operands[1];
        break;
    case SendOptions::check:
        if (operands != 1) {
            return usage("--check: one FILE.sds expected");
        }
        options.file = line->operands[0];
        break;
    case SendOptions::list:
        if (operands != 0) {
            return usage("--list: takes no operands");
        }
        break;
    case SendOptions::help:
    case SendOptions::version:
        break;
    }
    return options;
}

} // namespace pelitor::send
