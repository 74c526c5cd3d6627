#pragma once

#include <cstddef>
#include <string_view>

// How much room text takes on a terminal, for lines that must fit its width. Text is UTF-8:
// a character takes one column, two in the wide East Asian scripts, none as a combining mark;
// a byte that starts no valid character takes one. The counts are close to what terminals do,
// not exact for every script.
namespace pelitor {

std::size_t columnsOf(std::string_view text);

// The longest start of `text` that takes at most `columns`, never cutting a character.
std::string_view leadingColumns(std::string_view text, std::size_t columns);

// The longest end of `text` that takes at most `columns`, never cutting a character.
std::string_view trailingColumns(std::string_view text, std::size_t columns);

} // namespace pelitor
