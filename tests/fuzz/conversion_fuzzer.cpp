#include "fuzz/fuzz_conversion.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pelitor::test::fuzzConversion({data, size});
    return 0;
}
