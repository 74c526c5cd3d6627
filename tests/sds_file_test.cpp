#include "app/sds_file.hpp"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace pelitor {
namespace {

namespace fs = std::filesystem;

bool closeThenFail(platform::FileHandle file) {
    platform::closeFile(file);
    errno = EIO;
    return false;
}

TEST(SdsFile, AnErrorOnClosingLeavesTheEarlierOutputAndNoTemporaryFile) {
    const fs::path dir =
        fs::temp_directory_path() / ("pelitor-sds-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    std::ofstream(dir / "x.sds") << "old";

    SdsFile output(dir / "x.sds", "x.sds", closeThenFail);
    ASSERT_FALSE(output.open(3));
    const std::vector<std::uint8_t> bytes{1, 2, 3};
    ASSERT_FALSE(output.write(bytes));
    const auto failure = output.commit();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind, FailureKind::writeFailed);
    EXPECT_EQ(failure->message, "writing failed: Input/output error");

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"x.sds"});
    std::ifstream old(dir / "x.sds");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "old");
    fs::remove_all(dir);
}

} // namespace
} // namespace pelitor
