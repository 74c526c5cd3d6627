#include "app/conversion.hpp"
#include "support/memory_output.hpp"
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

Outcome convertBytes(const Bytes& wav, test::MemoryOutput& output,
                     SampleBufferAllocator allocate = allocateSampleBuffer) {
    MemorySource input(wav);
    std::ostringstream console;
    std::ostringstream errors;
    const int status = convert(input, "in.wav", output, {console, errors, false}, allocate);
    return {status, console.str(), errors.str()};
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
    EXPECT_TRUE(output.discarded);
    EXPECT_FALSE(output.committed);
}

TEST(Conversion, AFailedWriteIsReportedAfterEveryPacketIsMarked) {
    test::MemoryOutput output;
    output.failAfterHeader = true;
    const Outcome out = convertBytes(test::canonicalWav({}, Bytes(200, 0)), output);
    EXPECT_EQ(out.status, 74);
    expectEnding(out.console, "[Writing Data hhh End]\n");
    EXPECT_EQ(out.errors, "pelitor: out.sds: writing failed\n");
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
    EXPECT_EQ(output.bytes.str().size(), 21U);
    EXPECT_TRUE(output.committed);
}

} // namespace
} // namespace pelitor
