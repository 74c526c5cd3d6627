#include "platform/terminal.hpp"

#include <gtest/gtest.h>

namespace pelitor::platform {
namespace {

TEST(Terminal, TheFirstLocaleThatIsSetDecidesOnUtf8) {
    struct Case {
        const char* lcAll;
        const char* lcCtype;
        const char* lang;
        bool utf8;
    };
    for (const Case& c : {
             Case{nullptr, nullptr, "en_US.UTF-8", true},
             Case{nullptr, nullptr, "ja_JP.utf8", true},
             Case{nullptr, nullptr, "C.Utf-8", true},
             Case{nullptr, "de_DE.UTF8", nullptr, true},
             Case{"", "", "C.UTF-8", true},
             Case{"C", nullptr, "en_US.UTF-8", false},
             Case{nullptr, "ja_JP.SJIS", "en_US.UTF-8", false},
             Case{"POSIX", "C.UTF-8", "C.UTF-8", false},
             Case{nullptr, nullptr, "ja_JP.eucJP", false},
             Case{nullptr, nullptr, "utf", false},
             Case{nullptr, nullptr, nullptr, false},
         }) {
        EXPECT_EQ(utf8Locale(c.lcAll, c.lcCtype, c.lang), c.utf8)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcCtype ? c.lcCtype : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}

} // namespace
} // namespace pelitor::platform
