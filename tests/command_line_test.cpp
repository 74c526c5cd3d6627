#include "common/command_line.hpp"

#include <gtest/gtest.h>

namespace pelitor {
namespace {

constexpr OptionDefinition definitions[] = {
    {"device", 'd', true}, {"help", 'h', false}, {"loop", 0, true}};

// The options as "written=value" words, then the operands; or the usage failure's message.
std::string parsed(std::vector<std::string> arguments) {
    const auto line = parseCommandLine(arguments, definitions, "the file name");
    if (!line) {
        EXPECT_EQ(line.failure().kind, FailureKind::usage);
        return "failure: " + line.failure().message;
    }
    std::string words;
    for (const GivenOption& option : line->options) {
        words += option.written + "=" + option.value + " ";
    }
    for (const std::string& operand : line->operands) {
        words += "[" + operand + "]";
    }
    return words;
}

TEST(CommandLine, TakesOptionsInEveryFormBeforeTheOperands) {
    EXPECT_EQ(parsed({"--device", "3", "--device=4", "-d", "5", "-d6", "a.wav"}),
              "--device=3 --device=4 -d=5 -d=6 [a.wav]");
    EXPECT_EQ(parsed({"-h", "--loop=wav", "a.wav", "b.wav"}), "-h= --loop=wav [a.wav][b.wav]");
    EXPECT_EQ(parsed({"--", "-d.wav", "--help"}), "[-d.wav][--help]");
    EXPECT_EQ(parsed({"-", "x"}), "[-][x]");
    // After the first operand, `--` still ends the options: what follows are operands.
    EXPECT_EQ(parsed({"a.wav", "--", "-x", "--"}), "[a.wav][-x][--]");
    EXPECT_EQ(parsed({"a.wav", "--"}), "[a.wav]");
}

TEST(CommandLine, RefusesWhatCannotApply) {
    EXPECT_EQ(parsed({"--frobnicate", "a.wav"}), "failure: --frobnicate: unknown option");
    EXPECT_EQ(parsed({"-x"}), "failure: -x: unknown option");
    EXPECT_EQ(parsed({"--device"}), "failure: --device: needs a value");
    EXPECT_EQ(parsed({"--help=yes"}), "failure: --help=yes: --help takes no value");
    EXPECT_EQ(parsed({"a.wav", "-d", "1"}), "failure: -d: options go before the file name");
    EXPECT_EQ(parsed({"a.wav", "--device=1"}),
              "failure: --device=1: options go before the file name");
    // Unknown after an operand too: never taken for a further operand.
    EXPECT_EQ(parsed({"a.wav", "--lopo=wav"}), "failure: --lopo: unknown option");
    EXPECT_EQ(parsed({"a.wav", "b.wav", "-x"}), "failure: -x: unknown option");
    // The program's own hint, given the whole argument.
    const auto hinted = parseCommandLine(
        std::vector<std::string>{"-xy"}, definitions, "",
        [](std::string_view argument) { return " (" + std::string(argument) + ")"; });
    EXPECT_EQ(hinted.failure().message, "-x: unknown option (-xy)");
}

TEST(CommandLine, NumbersAreDecimalAndWithinTheirRange) {
    const auto number = [](std::string value) -> std::string {
        const auto result = optionNumber({&definitions[0], "--device", value}, 0, 127);
        return result ? std::to_string(*result) : result.failure().message;
    };
    EXPECT_EQ(number("0"), "0");
    EXPECT_EQ(number("127"), "127");
    EXPECT_EQ(number("007"), "7");
    for (const std::string bad :
         {"128", "200", "-1", "+1", "0x10", "1e2", "", " 1", "99999999999"}) {
        EXPECT_EQ(number(bad), "--device " + bad + ": must be 0 to 127");
    }
}

} // namespace
} // namespace pelitor
