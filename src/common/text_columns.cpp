#include "common/text_columns.hpp"

#include <cstdint>

namespace pelitor {
namespace {

struct Character {
    std::size_t bytes;
    std::size_t columns;
};

struct Range {
    char32_t first;
    char32_t last;
};

// The characters a terminal shows two columns wide: the East Asian scripts and the emoji.
constexpr Range wide[] = {
    {0x1100, 0x115F}, {0x2E80, 0xA4CF}, {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE30, 0xFE4F},
    {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD}};

std::size_t columnsOf(char32_t code) {
    if (code >= 0x0300 && code <= 0x036F) { // the combining marks
        return 0;
    }
    for (const Range range : wide) {
        if (code >= range.first && code <= range.last) {
            return 2;
        }
    }
    return 1;
}

bool continuation(std::uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

Character characterAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<std::uint8_t>(text[at]);
    const std::size_t length = lead < 0xC2   ? 1
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 1;
    if (length == 1 || at + length > text.size()) {
        return {1, 1};
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<std::uint8_t>(text[at + i]);
        if (!continuation(byte)) {
            return {1, 1};
        }
        code = code << 6 | (byte & 0x3F);
    }
    return {length, columnsOf(code)};
}

} // namespace

std::size_t columnsOf(std::string_view text) {
    std::size_t columns = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Character character = characterAt(text, at);
        columns += character.columns;
        at += character.bytes;
    }
    return columns;
}

std::string_view leadingColumns(std::string_view text, std::size_t columns) {
    std::size_t used = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const Character character = characterAt(text, at);
        if (used + character.columns > columns) {
            break;
        }
        used += character.columns;
        at += character.bytes;
    }
    return text.substr(0, at);
}

std::string_view trailingColumns(std::string_view text, std::size_t columns) {
    std::size_t excess = columnsOf(text);
    std::size_t at = 0;
    while (excess > columns) {
        const Character character = characterAt(text, at);
        excess -= character.columns;
        at += character.bytes;
    }
    // A combining mark left at the start would sit on whatever comes before the cut.
    while (at < text.size() && characterAt(text, at).columns == 0) {
        at += characterAt(text, at).bytes;
    }
    return text.substr(at);
}

} // namespace pelitor
