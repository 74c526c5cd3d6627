#pragma once

#include "app/sds_output.hpp"

#include <sstream>

namespace pelitor::test {

// An output held in memory, with switches to make it refuse or fail.
class MemoryOutput final : public SdsOutput {
  public:
    bool refuseOpen = false;
    bool failAfterHeader = false; // every write after the dump header fails
    bool opened = false;
    bool committed = false;
    bool discarded = false;
    std::uint64_t announcedSize = 0; // what the conversion said it would write
    std::ostringstream bytes;

    const std::string& name() const override { return name_; }

    std::optional<std::string> open(std::uint64_t size) override {
        if (refuseOpen) {
            return "refused";
        }
        opened = true;
        announcedSize = size;
        return std::nullopt;
    }

    std::ostream& stream() override {
        if (failAfterHeader && bytes.tellp() > 0) {
            bytes.setstate(std::ios::badbit);
        }
        return bytes;
    }

    std::optional<std::string> commit() override {
        if (!bytes.good()) {
            return "writing failed";
        }
        committed = true;
        return std::nullopt;
    }

    void discard() noexcept override { discarded = true; }

  private:
    std::string name_ = "out.sds";
};

} // namespace pelitor::test
