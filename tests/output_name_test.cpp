#include "common/output_name.hpp"

#include <filesystem>
#include <gtest/gtest.h>

namespace pelitor {
namespace {

TEST(OutputName, ReplacesTheLastFourBytesBesideTheInput) {
    EXPECT_EQ(makeOutputName("a.wav", "/"), "a.sds");
    EXPECT_EQ(makeOutputName("take.wave", "/"), "take..sds");
    EXPECT_EQ(makeOutputName("noext", "/"), "n.sds");
    EXPECT_EQ(makeOutputName("../samples/kick.WAV", "/"), "../samples/kick.sds");
    EXPECT_EQ(makeOutputName("C:\\snd\\KICK.WAV", "/\\:"), "C:\\snd\\KICK.sds");
}

TEST(OutputName, ShortFileNamesKeepTheirDirectory) {
    EXPECT_EQ(makeOutputName("dir/abc", "/"), "dir/abc.sds");
    EXPECT_EQ(makeOutputName("dir/.wav", "/"), "dir/.wav.sds");
    EXPECT_EQ(makeOutputName("a", "/"), "a.sds");
    EXPECT_EQ(makeOutputName("C:abc", "/\\:"), "C:abc.sds");
    EXPECT_EQ(makeOutputName("snd\\x.wa", "/\\:"), "snd\\x.wa.sds");
    EXPECT_EQ(makeOutputName("\u30c9\u30e9\u30e0.wav", "/"), "\u30c9\u30e9\u30e0.sds");
    EXPECT_EQ(makeOutputName("\u30c9\u30e9\u30e0", "/"), "\u30c9\u30e9\u30e0.sds");
}

TEST(OutputName, AnOutputOptionNamesTheFileOrItsDirectory) {
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    struct Case {
        std::string_view requested;
        bool isDirectory;
        std::string output;
    };
    for (const Case& c : {
             Case{"x.syx", false, "x.syx"},
             Case{"out", false, "out"},
             Case{"out", true, std::string("out") + separator + "kick.sds"},
             Case{"out/", true, "out/kick.sds"},
             Case{"new/", false, "new/kick.sds"},
         }) {
        EXPECT_EQ(placeOutput("samples/kick.sds", c.requested, c.isDirectory, "/"), c.output)
            << c.requested;
    }
    EXPECT_EQ(placeOutput("C:\\snd\\kick.sds", "D:", true, "/\\:"), "D:kick.sds");
    EXPECT_TRUE(endsInSeparator("out\\", "/\\:"));
    EXPECT_FALSE(endsInSeparator("out\\", "/"));
    EXPECT_FALSE(endsInSeparator("", "/"));
}

} // namespace
} // namespace pelitor
