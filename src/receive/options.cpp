#include "receive/options.hpp"

#include "common/command_line.hpp"
#include "receive/output_names.hpp"

namespace pelitor::receive {
namespace {

// The command line as it is taken apart: the options, and which tasks were asked for.
struct Given {
    ReceiveOptions options;
    bool file = false;
    bool help = false;
    bool version = false;
    bool list = false;
};

using Apply = std::optional<Failure> (*)(const GivenOption&, Given&);

template <bool Given::*flag>
constexpr Apply setFlag = [](const GivenOption&, Given& given) {
    given.*flag = true;
    return std::optional<Failure>();
};

constexpr HelpLine fileHelp[] = {{"", "decode the dumps kept in the file DUMP"}};
constexpr HelpLine keepDamagedHelp[] = {
    {"", "write the WAV even when packets are damaged or missing"},
    {"", "(their words as received, or silence), with a warning each"}};

constexpr Option<Given> table[] = {
    {{"file", 0, false, {}, fileHelp}, setFlag<&Given::file>},
    {{"keep-damaged", 0, false, {}, keepDamagedHelp},
     [](const GivenOption&, Given& given) {
         given.options.keepDamaged = true;
         return std::optional<Failure>();
     }},
    {{"list"}, setFlag<&Given::list>},
    {{"help", 'h'}, setFlag<&Given::help>},
    {{"version", 'V'}, setFlag<&Given::version>},
};
constexpr auto definitions = definitionsOf(table);

Failure usage(std::string message) {
    return {FailureKind::usage, std::move(message)};
}

} // namespace

std::string usageText() {
    return "usage: pelitor-receive --file [options] DUMP [OUTPUT]   decode a dump kept in a file\n"
           "       pelitor-receive --list                                 list the raw MIDI ports\n"
           "       pelitor-receive --help | --version\n"
           "\n"
           "An OUTPUT ending in .sds or .syx gets the dump's own messages, any other a WAV file;\n"
           "an existing directory gets the default name inside. Without OUTPUT, DUMP's name with\n"
           ".wav for its extension, beside it; a file with several dumps gives NAME-1.wav,\n"
           "NAME-2.wav, and so on.\n"
           "\n"
           "options:\n" +
           optionHelp(definitions, 23);
}

Result<ReceiveOptions> parseReceiveOptions(std::span<const std::string> arguments) {
    const auto line = parseCommandLine(arguments, definitions, "DUMP and OUTPUT");
    if (!line) {
        return line.failure();
    }
    Given given;
    if (auto failure = applyOptions(*line, definitions, table, given)) {
        return *failure;
    }
    auto [options, file, help, version, list] = given;
    if (list && file) {
        return usage("--list and --file: one at a time");
    }
    options.task = help      ? ReceiveOptions::help
                   : version ? ReceiveOptions::version
                   : list    ? ReceiveOptions::list
                             : ReceiveOptions::file;
    const std::size_t operands = line->operands.size();
    switch (options.task) {
    case ReceiveOptions::file:
        if (!file || operands == 0) {
            return usage("--file DUMP [OUTPUT] expected (see --help)");
        }
        if (operands > 2) {
            return usage("too many operands: --file DUMP [OUTPUT] expected");
        }
        options.dump = line->operands[0];
        if (operands == 2) {
            options.output = line->operands[1];
        }
        if (options.keepDamaged && options.output && isSdsName(*options.output)) {
            return usage("--keep-damaged: writes WAV files only, and " + *options.output +
                         " would get the dump's messages");
        }
        break;
    case ReceiveOptions::list:
        if (operands != 0) {
            return usage("--list: takes no operands");
        }
        break;
    case ReceiveOptions::help:
    case ReceiveOptions::version:
        break;
    }
    return options;
}

} // namespace pelitor::receive
