// Every seed of the fuzzer, and every input it once found a fault with, passes the fuzzer's
// checks in each test run.
#include "fuzz/fuzz_conversion.hpp"
#include "fuzz/seed_corpus.hpp"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace pelitor::test {
namespace {

TEST(FuzzReplay, SeedCorpus) {
    for (const auto& [name, bytes] : seedCorpus()) {
        SCOPED_TRACE(name);
        fuzzConversion(bytes);
    }
}

TEST(FuzzReplay, EarlierFindings) {
    const std::filesystem::path findings = PELITOR_FUZZ_FINDINGS;
    for (const auto& entry : std::filesystem::directory_iterator(findings)) {
        if (entry.path().extension() != ".wav") {
            continue;
        }
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        fuzzConversion(bytes);
    }
}

} // namespace
} // namespace pelitor::test
