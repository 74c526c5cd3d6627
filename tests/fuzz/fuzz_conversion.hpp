#pragma once

#include "app/conversion.hpp"
#include "support/memory_output.hpp"

#include <cstdio>
#include <cstdlib>
#include <span>
#include <sstream>

namespace pelitor::test {

// Runs the whole conversion of one input in memory and aborts if the result breaks a rule
// that every .sds stream must keep, whatever the input: only a complete stream is committed,
// it is a 21-byte dump header and whole 127-byte packets, nothing inside a message reaches
// 0x80, checksums hold, and the packets carry the words the header announces.
inline void fuzzConversionWith(std::span<const std::uint8_t> input,
                               const ConversionOptions& options) {
    MemorySource source(input);
    MemoryOutput output;
    std::ostringstream console;
    std::ostringstream errors;
    const int status = convert({source, "fuzz.wav", output}, options, {console, errors});
    const auto check = [](bool holds, const char* rule) {
        if (!holds) {
            std::fprintf(stderr, "broken: %s\n", rule);
            std::abort();
        }
    };
    check((status == 0) == output.committed, "exit status 0 exactly when the output is committed");
    check(!errors.str().empty() || status == 0, "a failure says why");
    if (status != 0) {
        return;
    }
    const std::vector<std::uint8_t>& sds = output.bytes;
    const auto byte = [&](std::size_t i) {
        return sds[i];
    };
    check(sds.size() >= 21 && (sds.size() - 21) % 127 == 0, "a header and whole packets");
    check(sds.size() == output.announcedSize, "as many bytes as space was reserved for");
    for (std::size_t start = 0; start < sds.size(); start = start == 0 ? 21 : start + 127) {
        const std::size_t end = start == 0 ? 21 : start + 127;
        check(byte(start) == 0xF0 && byte(end - 1) == 0xF7, "messages framed by F0 and F7");
        std::uint8_t checksum = 0;
        for (std::size_t i = start + 1; i + 1 < end; ++i) {
            check(byte(i) < 0x80, "no status byte inside a message");
            if (i + 2 < end) {
                checksum ^= byte(i);
            }
        }
        check(start == 0 || checksum == byte(end - 2), "packet checksums hold");
    }
    const std::uint32_t words = byte(10) | byte(11) << 7 | byte(12) << 14;
    const std::size_t wordBytes = (byte(6) + 6) / 7; // as many 7-bit bytes as the width needs
    const std::size_t perPacket = 120 / wordBytes;
    check((sds.size() - 21) / 127 == (words + perPacket - 1) / perPacket,
          "as many packets as the announced words need");
}

// As it converts by default, walking the whole file for a "smpl" loop, and to words of a
// width the file may not have.
inline void fuzzConversion(std::span<const std::uint8_t> input) {
    fuzzConversionWith(input, {});
    fuzzConversionWith(input, {.loop = {.kind = LoopRequest::Kind::wav}});
    ConversionOptions twelveBit;
    twelveBit.bits = 12;
    fuzzConversionWith(input, twelveBit);
}

} // namespace pelitor::test
