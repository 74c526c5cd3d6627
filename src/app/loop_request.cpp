#include "app/loop_request.hpp"

#include "sds/seven_bit.hpp"

#include <string>

namespace pelitor {

Result<LoopRequest> loopRequest(const GivenOption& option) {
    using Kind = LoopRequest::Kind;
    constexpr std::uint32_t lastWord = maxSevenBitTriple - 1;
    const std::string& value = option.value;
    if (value == "off") {
        return LoopRequest{Kind::off};
    }
    if (value == "wav") {
        return LoopRequest{Kind::wav};
    }
    if (value == "auto") {
        return LoopRequest{Kind::automatic};
    }
    const std::size_t colon = value.find(':');
    const auto word = [&](std::string text) {
        return optionNumber({option.definition, option.written, std::move(text)}, 0, lastWord);
    };
    const auto start = word(value.substr(0, colon));
    const auto end = word(colon == std::string::npos ? "" : value.substr(colon + 1));
    if (!start || !end) {
        return Failure{FailureKind::usage,
                       option.written + " " + value +
                           ": must be off, wav, auto or START:END (words 0 to " +
                           std::to_string(lastWord) + ")"};
    }
    if (*start > *end) {
        return Failure{FailureKind::usage,
                       option.written + " " + value + ": START must not come after END"};
    }
    return LoopRequest{Kind::points, *start, *end};
}

} // namespace pelitor
