#include "platform/terminal.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

namespace pelitor::platform {

bool utf8Locale(const char* lcAll, const char* lcCtype, const char* lang) {
    std::string locale;
    for (const char* candidate : {lcAll, lcCtype, lang}) {
        if (candidate != nullptr && *candidate != '\0') {
            locale = candidate;
            break;
        }
    }
    std::transform(locale.begin(), locale.end(), locale.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return locale.find("utf-8") != std::string::npos || locale.find("utf8") != std::string::npos;
}

TerminalText::~TerminalText() {
    if (console_) {
        out_.flush();
        out_.rdbuf(original_);
    }
}

} // namespace pelitor::platform
