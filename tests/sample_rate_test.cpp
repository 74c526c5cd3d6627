#include "receive/sample_rate.hpp"

#include <gtest/gtest.h>

namespace pelitor::receive {
namespace {

TEST(RateForPeriod, GivesBackEveryCommonRateFromItsTruncatedPeriod) {
    for (const std::uint32_t rate :
         {477U, 8000U, 11025U, 12345U, 16000U, 22050U, 32000U, 37800U, 44100U, 48000U, 88200U,
          96000U, 176400U, 192000U, 500000000U, 1000000000U}) {
        EXPECT_EQ(rateForPeriod(1'000'000'000U / rate), rate) << rate;
    }
}

TEST(RateForPeriod, TakesTheRoundestThenTheNearestRateOrElseTheNearest) {
    struct Case {
        std::uint32_t period;
        std::uint32_t rate;
    };
    for (const Case c : {Case{22675, 44100}, // 44100 to 44101 truncate to it
                         Case{3, 300000000}, // 250000001 to 333333333: the nearest of 10^8's
                         Case{7, 140000000}, Case{22676, 44099}, // 44098 and 44099: as round
                         Case{2097151, 477}, // no rate truncates to it: 476.84 is nearest 477
                         Case{1000000, 1000}}) {
        EXPECT_EQ(rateForPeriod(c.period), c.rate) << c.period;
    }
}

} // namespace
} // namespace pelitor::receive
