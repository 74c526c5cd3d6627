#include "app/conversion.hpp"
#include "app/run.hpp"
#include "support/memory_output.hpp"
#include "support/test_source.hpp"
#include "support/wav_builder.hpp"

#include <gtest/gtest.h>
#include <new>
#include <sstream>

namespace pelitor {
namespace {

using test::Bytes;

struct Outcome {
    int status;
    std::string console;
    std::string errors;
};

Outcome convertSource(ByteSource& input, test::MemoryOutput& output,
                      SampleBufferAllocator allocate = allocateSampleBuffer, bool quiet = false) {
    std::ostringstream console;
    std::ostringstream errors;
    const int status = convert({input, "in.wav", output}, {},
                               {console, errors, false, LabelText::shiftJis, quiet}, allocate);
    return {status, console.str(), errors.str()};
}

Outcome convertBytes(const Bytes& wav, test::MemoryOutput& output,
                     SampleBufferAllocator allocate = allocateSampleBuffer, bool quiet = false) {
    MemorySource input(wav);
    return convertSource(input, output, allocate, quiet);
}

void expectEnding(const std::string& text, const std::string& ending) {
    EXPECT_EQ(text.substr(text.size() - std::min(ending.size(), text.size())), ending);
}

TEST(Conversion, AFailedSampleBufferLeavesNoOutput) {
    test::MemoryOutput output;
    const auto failing = [](std::size_t) -> SampleBuffer {
        throw std::bad_alloc();
    };
    const Outcome out = convertBytes(test::canonicalWav({}, Bytes(8, 0)), output, failing);
    EXPECT_EQ(out.status, 1);
    expectEnding(out.console, "[Writing Header ......... End]\nbad new!!\n");
    EXPECT_EQ(out.errors, "pelitor: in.wav: 8 bytes of sample data could not be allocated\n");
    EXPECT_TRUE(output.discarded);
    EXPECT_FALSE(output.committed);
    // Quiet, the program's own words are all that standard output gets.
    test::MemoryOutput quietOutput;
    EXPECT_EQ(convertBytes(test::canonicalWav({}, Bytes(8, 0)), quietOutput, failing, true).console,
              "bad new!!\n");
}

TEST(Conversion, AFailedWriteMarksEveryLaterPacketWithItsWidthsMark) {
    for (const auto& [bits, marks] : {std::pair<std::uint16_t, std::string>{8, "ooooooo"},
                                      {16, "hhhhh"},
                                      {24, "ttttt"},
                                      {12, "oooo"},
                                      {20, "hhhh"}}) {
        test::MemoryOutput output;
        output.failAfterHeader = true;
        const Outcome out = convertBytes(test::canonicalWav({.bits = bits}, Bytes(400, 0)), output);
        EXPECT_EQ(out.status, 74);
        expectEnding(out.console, "[Writing Data " + marks + " End]\n");
        EXPECT_EQ(out.errors, "pelitor: out.sds: writing failed\n");
        EXPECT_TRUE(output.discarded);
        EXPECT_FALSE(output.committed);
    }
}

TEST(Conversion, AFailedCommitIsAFailedWrite) {
    test::MemoryOutput output;
    output.failCommit = true;
    const Outcome out = convertBytes(test::canonicalWav({}, Bytes(8, 0)), output);
    EXPECT_EQ(out.status, 74);
    expectEnding(out.console, "[Writing Data . End]\n");
    EXPECT_EQ(out.errors, "pelitor: out.sds: closing failed\n");
}

TEST(Conversion, SampleDataThatCannotBeReadLeavesNoOutput) {
    struct Case {
        std::uint64_t cutAt;
        std::uint64_t failFrom;
        std::string message;
    };
    const Bytes wav = test::canonicalWav({}, Bytes(400, 0x20));
    for (const Case& c :
         {Case{100, test::TestSource::never, "the sample data could not be read"},
          Case{test::TestSource::never, 44, "reading failed: Input/output error"}}) {
        test::TestSource input(wav);
        input.cutAt = c.cutAt; // the file shrank after its header was read
        input.failFrom = c.failFrom;
        test::MemoryOutput output;
        const Outcome out = convertSource(input, output);
        EXPECT_EQ(out.status, 66);
        EXPECT_EQ(out.errors, "pelitor: in.wav: " + c.message + "\n");
        EXPECT_TRUE(output.discarded);
        EXPECT_FALSE(output.committed);
        EXPECT_EQ(out.console.find("[Writing Data"), std::string::npos);
    }
}

TEST(Conversion, RefusalsComeBeforeTheOutputIsOpened) {
    test::MemoryOutput output;
    const Outcome stereo = convertBytes(test::canonicalWav({.channels = 2}, Bytes(8, 0)), output);
    EXPECT_EQ(stereo.status, 65);
    EXPECT_EQ(stereo.console.find("[Writing"), std::string::npos);
    EXPECT_FALSE(output.opened);

    output.refuseOpen = true;
    const Outcome refused = convertBytes(test::canonicalWav({}, Bytes(8, 0)), output);
    EXPECT_EQ(refused.status, 73);
    EXPECT_EQ(refused.errors, "pelitor: out.sds: refused\n");
    EXPECT_EQ(refused.console.find("[Writing"), std::string::npos);
}

TEST(Conversion, NoSamplesGiveTheDumpHeaderAlone) {
    test::MemoryOutput output;
    const Outcome out = convertBytes(test::canonicalWav({}, {}), output);
    EXPECT_EQ(out.status, 0);
    expectEnding(out.console, "[Writing Data  End]\n");
    EXPECT_EQ(output.bytes.size(), 21U);
    EXPECT_TRUE(output.committed);
}

// Remembers how much had been written each time it was flushed.
class FlushLog final : public std::stringbuf {
  public:
    std::vector<std::size_t> flushedAt;

  protected:
    int sync() override {
        flushedAt.push_back(str().size());
        return 0;
    }
};

TEST(Conversion, OnATerminalEachMarkIsFlushedWithItsPacket) {
    for (const bool live : {true, false}) {
        FlushLog log;
        std::ostream console(&log);
        std::ostringstream errors;
        const Bytes wav = test::canonicalWav({}, Bytes(200, 0));
        MemorySource input(wav);
        test::MemoryOutput output;
        ASSERT_EQ(convert({input, "in.wav", output}, {}, {console, errors, live}), 0);
        const std::size_t marks = log.str().find("[Writing Data ") + 14;
        ASSERT_EQ(log.str().substr(marks, 3), "...");
        for (std::size_t packet = 1; packet <= 3; ++packet) {
            const bool flushed =
                std::count(log.flushedAt.begin(), log.flushedAt.end(), marks + packet) == 1;
            EXPECT_EQ(flushed, live) << "packet " << packet;
        }
    }
}

// A console that runs out of memory as soon as anything is written to it.
class ExhaustedBuffer final : public std::streambuf {
  protected:
    int_type overflow(int_type) override { throw std::bad_alloc(); }
};

TEST(Program, RunningOutOfMemoryOutsideTheSampleBufferEndsWithStatusThree) {
    ExhaustedBuffer exhausted;
    std::ostream console(&exhausted);
    console.exceptions(std::ios::badbit); // let the allocation failure through, as cout would
    std::ostringstream errors;
    char name[] = "pelitor";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(runProgram(1, argv, {console, errors}), 3);
    EXPECT_EQ(errors.str(), "Abnormal program termination\n");
}

// A console whose every write fails, as a closed pipe or a full disk makes it.
class FailingBuffer final : public std::streambuf {
  protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST(Program, AConsoleLostOrClosedAtStartIsToldOnceAndKeepsTheStatus) {
    char name[] = "pelitor";
    char* argv[] = {name, nullptr};
    for (bool closedAtStart : {false, true}) {
        FailingBuffer failing;
        std::ostream lost(&failing);
        std::ostringstream console;
        std::ostringstream errors;
        EXPECT_EQ(runProgram(1, argv, {closedAtStart ? console : lost, errors}, closedAtStart), 0);
        EXPECT_EQ(errors.str(), "pelitor: standard output: could not be written\n");
    }
}

} // namespace
} // namespace pelitor
