// The sender's progress and summary lines, and how the progress line fits a terminal.
#include "common/text_columns.hpp"
#include "send/progress.hpp"

#include <gtest/gtest.h>

namespace pelitor::send {
namespace {

using std::chrono::seconds;

TEST(ProgressText, SaysWhereTheTransferStands) {
    const auto onWide = [](std::string_view name, const Progress& progress) {
        return progressLine(name, progress, 200);
    };
    EXPECT_EQ(onWide("v.sds", {.total = 1103}),
              "v.sds: dump header sent, waiting up to 2 s for the sampler to answer");
    EXPECT_EQ(onWide("v.sds", {.total = 1103, .headerWait = std::chrono::milliseconds(2500)}),
              "v.sds: dump header sent, waiting up to 2.5 s for the sampler to answer");
    EXPECT_EQ(onWide("v.sds", {.total = 1103, .samplerWaits = true}),
              "v.sds: dump header sent, the sampler asked to wait");
    EXPECT_EQ(onWide("v.sds", {.total = 1103, .onHeader = false}),
              "v.sds: 0 of 1103 packets (0%), open loop, 0 resent");
    EXPECT_EQ(onWide("v.sds", {.done = 110,
                               .total = 1103,
                               .onHeader = false,
                               .closedLoop = true,
                               .resent = 2,
                               .sinceFirstPacket = seconds(5)}),
              "v.sds: 110 of 1103 packets (9%), closed loop, 2 resent, 0:45 left");
    EXPECT_EQ(onWide("v.sds", {.done = 110,
                               .total = 1103,
                               .onHeader = false,
                               .samplerWaits = true,
                               .sinceFirstPacket = seconds(5)}),
              "v.sds: 110 of 1103 packets (9%), open loop, 0 resent, the sampler asked to wait");
    EXPECT_EQ(sentLine("voice.sds", 1103, std::chrono::milliseconds(47'049), true, 2),
              "sent voice.sds: 1103 packets in 47.0 s, closed loop, 2 resent");
    EXPECT_EQ(sentLine("voice.sds", 1103, seconds(47), true, 0, 40),
              "sent voice.sds: 1103 packets in 47.0 s, closed loop, 0 resent, 40 late answers");
}

TEST(ProgressText, SumsASet) {
    const std::vector<std::uint16_t> following{1, 2, 3}, scattered{0, 9, 4};
    EXPECT_EQ(setSentLine(following, seconds(134), 3, 3),
              "sent 3 samples (1..3) in 2 min 14 s, closed loop, 3 resent");
    EXPECT_EQ(setSentLine(scattered, std::chrono::milliseconds(9'960), 0, 0),
              "sent 3 samples (0, 9, 4) in 10.0 s, open loop, 0 resent");
    EXPECT_EQ(setSentLine(following, seconds(60), 1, 0),
              "sent 3 samples (1..3) in 1 min 0 s, closed and open loop, 0 resent");
}

TEST(ProgressText, SummarisesACheckedStream) {
    EXPECT_EQ(streamSummary("v.sds",
                            {{.bitsPerSample = 16, .periodNs = 22675, .wordCount = 44100}, 1103}),
              "v.sds: 16-bit words, 44101 Hz (period 22675 ns), 44100 words (1.000 s), 1103 "
              "packets, forward loop from word 0 to 0, device channel 0, sample number 0");
    EXPECT_EQ(streamSummary("w.sds", {{.deviceChannel = 3,
                                       .sampleNumber = 300,
                                       .bitsPerSample = 24,
                                       .periodNs = 20833,
                                       .wordCount = 96000,
                                       .loopStart = 10,
                                       .loopEnd = 95999,
                                       .loopType = loopAlternating},
                                      3200}),
              "w.sds: 24-bit words, 48001 Hz (period 20833 ns), 96000 words (2.000 s), 3200 "
              "packets, alternating loop from word 10 to 95999, device channel 3, sample number "
              "300");
    EXPECT_EQ(
        streamSummary(
            "x.sds",
            {{.bitsPerSample = 8, .periodNs = 125000, .wordCount = 16, .loopType = loopOff}, 1}),
        "x.sds: 8-bit words, 8000 Hz (period 125000 ns), 16 words (0.002 s), 1 packet, no "
        "loop, device channel 0, sample number 0");
}

// Each row: a terminal's width and the line on it, for a long name in closed loop after a
// resend, an open-loop start, the sampler waiting, and the wait for the header's answer.
TEST(ProgressText, FitsTheTerminalGivingUpTheLeastNeededFirst) {
    const std::string path = "samples/strings/violin-section-sustain-C3.sds";
    const Progress resending{.done = 110,
                             .total = 1103,
                             .onHeader = false,
                             .closedLoop = true,
                             .resent = 2,
                             .sinceFirstPacket = seconds(5)};
    const Progress starting{
        .done = 110, .total = 1103, .onHeader = false, .sinceFirstPacket = seconds(5)};
    const Progress waiting{.done = 110, .total = 1103, .onHeader = false, .samplerWaits = true};
    const Progress header{.total = 1103};
    struct Row {
        std::string_view name;
        const Progress& progress;
        std::size_t columns;
        std::string line;
    };
    const Row rows[] = {
        {path, resending, 200,
         path + ": 110 of 1103 packets (9%), closed loop, 2 resent, 0:45 left"},
        {path, resending, 80,
         "...violin-section-sustain-C3.sds: 110 of 1103 packets (9%), 2 resent, 0:45 left"},
        {path, resending, 60, "...tion-sustain-C3.sds: 110 of 1103 packets (9%), 0:45 left"},
        {path, resending, 40, "...ain-C3.sds: 110/1103 (9%), 0:45 left"},
        {path, resending, 30, "...tain-C3.sds: 9%, 0:45 left"},
        {path, resending, 20, "9%, 0:45 left"},
        {path, resending, 12, "9%, 0:45 le"},
        {path, resending, 1, ""},
        {path, resending, 0, ""},
        {"v.sds", starting, 60, "v.sds: 110 of 1103 packets (9%), open loop, 0:45 left"},
        {"v.sds", starting, 50, "v.sds: 110 of 1103 packets (9%), 0:45 left"},
        {"voice.sds", waiting, 80,
         "voice.sds: 110 of 1103 packets (9%), open loop, the sampler asked to wait"},
        {"voice.sds", waiting, 40, "voice.sds: 110/1103 (9%), asked to wait"},
        {"voice.sds", header, 45, "voice.sds: header sent, waiting up to 2 s"},
        {"voice.sds", header, 40, "header sent, waiting up to 2 s"},
        // Columns, not bytes: each of these takes two bytes and one column, each kanji three
        // bytes and two columns; a cut never splits one.
        {"\u00e9t\u00e9-\u00e9t\u00e9-\u00e9t\u00e9-\u00e9t\u00e9.sds", waiting, 50,
         "\u00e9t\u00e9-\u00e9t\u00e9-\u00e9t\u00e9-\u00e9t\u00e9.sds: 110/1103 (9%), asked to "
         "wait"},
        {"\u00e9t\u00e9-\u00e9t\u00e9-\u00e9t\u00e9-\u00e9t\u00e9.sds", waiting, 40,
         "...t\u00e9.sds: 110/1103 (9%), asked to wait"},
        {"\u97f3\u8272\u97f3\u8272.sds", waiting, 40,
         "...\u8272.sds: 110/1103 (9%), asked to wait"},
    };
    for (const Row& row : rows) {
        const std::string line = progressLine(row.name, row.progress, row.columns);
        EXPECT_EQ(line, row.line) << row.columns;
        EXPECT_LT(columnsOf(line), std::max<std::size_t>(row.columns, 1)) << line;
    }
}

TEST(ProgressText, RewritesItsLineAtMostEveryTenthOfASecondUnlessTheSamplerWaits) {
    using std::chrono::milliseconds;
    ProgressDisplay display("v.sds", 0);
    EXPECT_EQ(display.end(), "");
    const Progress sending{.done = 1, .total = 4, .onHeader = false};
    EXPECT_EQ(display.show(sending, milliseconds(0)),
              "\rv.sds: 1 of 4 packets (25%), open loop, 0 resent, 0:00 left\x1b[K");
    EXPECT_EQ(display.show(sending, milliseconds(99)), "");
    Progress waits = sending;
    waits.samplerWaits = true;
    EXPECT_NE(display.show(waits, milliseconds(99)), "");
    EXPECT_EQ(display.show(waits, milliseconds(150)), "");
    EXPECT_NE(display.show(waits, milliseconds(199)), "");
    EXPECT_EQ(display.end(), "\r\x1b[K");
}

// An older Windows console shows the code that clears a line as text: spaces clear it there.
TEST(ProgressText, ClearsWithSpacesAConsoleThatTakesNoCodes) {
    ProgressRewrite rewrite(0, false);
    EXPECT_EQ(rewrite.end(), "");
    EXPECT_EQ(rewrite.rewrite("v.sds: 10%"), "\rv.sds: 10%");
    EXPECT_EQ(rewrite.rewrite("v.sds: 9"), "\rv.sds: 9  ");
    EXPECT_EQ(rewrite.rewrite("ü 5"), "\rü 5     ");
    EXPECT_EQ(rewrite.end(), "\r   \r");
}

} // namespace
} // namespace pelitor::send
