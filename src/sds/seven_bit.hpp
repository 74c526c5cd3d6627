#pragma once

#include <cstdint>

namespace pelitor {

// SDS carries 21-bit numbers as three 7-bit bytes, least significant first.
struct SevenBitTriple {
    std::uint8_t low = 0;
    std::uint8_t middle = 0;
    std::uint8_t high = 0;
};

// The largest number three 7-bit bytes can carry.
inline constexpr std::uint32_t maxSevenBitTriple = (1U << 21) - 1;

// `high` keeps bits 14 to 21 unmasked; callers keep values within maxSevenBitTriple.
constexpr SevenBitTriple splitSevenBits(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value & 0x7F), static_cast<std::uint8_t>((value >> 7) & 0x7F),
            static_cast<std::uint8_t>(value >> 14)};
}

// The number three 7-bit bytes carry, least significant first.
constexpr std::uint32_t joinSevenBits(std::uint8_t low, std::uint8_t middle, std::uint8_t high) {
    return std::uint32_t{low} | std::uint32_t{middle} << 7 | std::uint32_t{high} << 14;
}

// A sample number is 14 bits, carried as two 7-bit bytes, least significant first.
struct SevenBitPair {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
};

constexpr SevenBitPair splitSevenBitPair(std::uint16_t value) {
    return {static_cast<std::uint8_t>(value & 0x7F),
            static_cast<std::uint8_t>((value >> 7) & 0x7F)};
}

constexpr std::uint16_t joinSevenBitPair(std::uint8_t low, std::uint8_t high) {
    return static_cast<std::uint16_t>(low | high << 7);
}

} // namespace pelitor
