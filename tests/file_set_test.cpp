#include "send/file_set.hpp"

#include <gtest/gtest.h>

namespace pelitor::send {
namespace {

TEST(FileSet, RefusesTwoFilesForOneSlotNamingTheFirstPair) {
    const std::vector<std::string> names{"kick.wav", "snare.wav", "hat.sds", "tom.wav"};
    const std::vector<std::pair<std::vector<std::uint16_t>, std::string>> cases{
        {{0, 1, 2, 3}, ""},
        {{0, 0, 2, 2}, "kick.wav and snare.wav would both replace sample 0; give -n"},
        {{5, 7, 9, 7}, "snare.wav and tom.wav would both replace sample 7; give -n"},
    };
    for (const auto& [numbers, expected] : cases) {
        const auto collision = slotCollision(names, numbers);
        EXPECT_EQ(collision ? collision->message : "", expected);
        EXPECT_TRUE(!collision || collision->kind == FailureKind::usage);
    }
}

} // namespace
} // namespace pelitor::send
