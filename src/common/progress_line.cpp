#include "common/progress_line.hpp"

#include "common/text_columns.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace pelitor {
namespace {

using namespace std::chrono_literals;

constexpr std::chrono::nanoseconds progressEvery = 100ms;
constexpr std::size_t assumedColumns = 80;
constexpr std::string_view ellipsis = "...";
constexpr std::size_t none = progressParts;

// One step in making a line narrower: a part takes its next form, and the name may be cut to
// as few columns as `nameFloor` from then on (none: it stays whole; 0: it goes).
struct Shortening {
    std::size_t part;
    std::size_t nameFloor;
};

} // namespace

std::string fitProgressLine(std::string_view name, const ProgressParts& parts, bool noResends,
                            std::size_t columns) {
    const std::size_t room = columns > 0 ? columns - 1 : 0;
    std::array<std::size_t, progressParts> chosen{};
    const auto rest = [&] {
        std::string text;
        for (std::size_t part = 0; part < progressParts; ++part) {
            const ProgressForms& forms = parts[part];
            const std::string& form =
                forms.empty() ? "" : forms[std::min(chosen[part], forms.size() - 1)];
            if (!form.empty()) {
                text += (text.empty() ? "" : ", ") + form;
            }
        }
        return text;
    };
    constexpr std::size_t whole = SIZE_MAX;
    constexpr std::size_t shortName = 16;
    constexpr std::size_t shortestName = ellipsis.size() + 5;
    // The whole line first; then what says least goes first, the percentage and the time left
    // last.
    const Shortening order[] = {
        {none, whole},
        {noResends ? std::size_t{progressResent} : none, whole},
        {progressMode, whole},
        {none, shortName},
        {progressResent, shortName},
        {progressWhere, shortName}, // "120/1103 (10%)"
        {progressState, shortName}, // "asked to wait"
        {none, shortestName},
        {progressWhere, shortestName}, // "10%"
        {none, 0},
    };
    std::string line;
    for (const Shortening step : order) {
        if (step.part != none) {
            ++chosen[step.part];
        }
        line = rest();
        const std::size_t restColumns = columnsOf(line);
        if (step.nameFloor == 0) {
            break;
        }
        const std::size_t nameRoom = room > restColumns + 2 ? room - restColumns - 2 : 0;
        if (columnsOf(name) <= nameRoom) {
            return std::string(name) + ": " + line;
        }
        if (step.nameFloor != whole && nameRoom >= step.nameFloor) {
            return std::string(ellipsis) +
                   std::string(trailingColumns(name, nameRoom - ellipsis.size())) + ": " + line;
        }
    }
    return std::string(leadingColumns(line, room));
}

ProgressForms packetForms(std::uint64_t done, std::uint64_t total) {
    const auto percent = static_cast<unsigned long long>(total == 0 ? 100 : done * 100 / total);
    const auto doneCount = static_cast<unsigned long long>(done);
    const auto totalCount = static_cast<unsigned long long>(total);
    char text[3][96];
    std::snprintf(text[0], sizeof text[0], "%llu of %llu packets (%llu%%)", doneCount, totalCount,
                  percent);
    std::snprintf(text[1], sizeof text[1], "%llu/%llu (%llu%%)", doneCount, totalCount, percent);
    std::snprintf(text[2], sizeof text[2], "%llu%%", percent);
    return {text[0], text[1], text[2]};
}

std::string timeLeft(std::uint64_t done, std::uint64_t total, std::chrono::nanoseconds elapsed) {
    if (done == 0) {
        return "";
    }
    const double seconds = std::chrono::duration<double>(elapsed).count();
    const auto left = static_cast<unsigned long long>(
        seconds / static_cast<double>(done) * static_cast<double>(total - done) + 0.5);
    char text[48];
    std::snprintf(text, sizeof text, "%llu:%02llu left", left / 60, left % 60);
    return text;
}

ProgressRewrite::ProgressRewrite(int columns, bool clearCode)
    : columns_(columns > 0 ? static_cast<std::size_t>(columns) : assumedColumns),
      clearCode_(clearCode) {}

bool ProgressRewrite::due(std::chrono::nanoseconds now, bool force) {
    if (now < next_ && !force) {
        return false;
    }
    next_ = now + progressEvery;
    return true;
}

std::string ProgressRewrite::rewrite(const std::string& line) {
    shown_ = true;
    if (clearCode_) {
        return '\r' + line + "\x1b[K";
    }
    const std::size_t columns = columnsOf(line);
    const std::size_t rest = shownColumns_ > columns ? shownColumns_ - columns : 0;
    shownColumns_ = columns;
    return '\r' + line + std::string(rest, ' ');
}

std::string ProgressRewrite::end() const {
    if (!shown_) {
        return "";
    }
    return clearCode_ ? "\r\x1b[K" : '\r' + std::string(shownColumns_, ' ') + '\r';
}

} // namespace pelitor
