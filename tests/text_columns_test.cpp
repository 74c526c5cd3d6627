// How many columns text takes on a terminal, and cuts that keep whole characters.
#include "common/text_columns.hpp"

#include <gtest/gtest.h>

namespace pelitor {
namespace {

TEST(TextColumns, CountsCharactersNotBytesAndCutsBetweenThem) {
    struct Row {
        std::string_view text;
        std::size_t columns;
        std::string_view leading2; // what two columns keep of its start
        std::string_view trailing2;
    };
    const Row rows[] = {
        {"abc", 3, "ab", "bc"},
        {"\u00e9t\u00e9", 3, "\u00e9t", "t\u00e9"},
        {"e\u0301te\u0301", 3, "e\u0301t", "te\u0301"}, // combining accents take no column
        {"\u97f3\u8272", 4, "\u97f3", "\u8272"},
        // Bytes that start no whole character take a column each, as a terminal shows them.
        {"\xff\xe9\x9f", 3, "\xff\xe9", "\xe9\x9f"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(columnsOf(row.text), row.columns) << row.text;
        EXPECT_EQ(leadingColumns(row.text, 2), row.leading2) << row.text;
        EXPECT_EQ(trailingColumns(row.text, 2), row.trailing2) << row.text;
    }
}

} // namespace
} // namespace pelitor
