#pragma once

// A port that keeps time by a clock of its own, for the transfer loop: each message written
// takes `drainTime` of it to leave, and the answers a sampler script gives come that much
// after the message has left. Nothing sleeps.

#include "common/port_io.hpp"
#include "platform/port.hpp"
#include "support/simulated_sampler.hpp"

#include <algorithm>
#include <stdexcept>

namespace pelitor::test {

class ScriptedPort final : public platform::Port {
  public:
    using Time = pelitor::Time;

    struct Written {
        Time at;
        std::uint8_t type;
    };

    ScriptedPort(Time drainTime, SamplerScript script)
        : drainTime_(drainTime), script_(std::move(script)) {}

    // Bytes waiting in the port before the transfer begins, as an earlier run may leave them.
    void leave(const std::vector<std::uint8_t>& bytes) { pending_.push_back({now_, bytes}); }

    TransferWatch watch() {
        return {[this] { return now_; },
                [] {
                    return false;
                }};
    }

    // When each message began to be written, and its type.
    const std::vector<Written>& written() const { return written_; }

    std::optional<Failure> write(std::span<const std::uint8_t> bytes) override {
        last_ = {{bytes.begin(), bytes.end()}, {}};
        written_.push_back({now_, last_.type()});
        return std::nullopt;
    }

    Result<bool> drain() override {
        now_ += drainTime_;
        if (script_) {
            for (const Answer& answer : script_(last_, written_.size() - 1)) {
                pending_.push_back({now_ + answer.delay, answer.bytes});
            }
        }
        return true;
    }

    Result<bool> waitForInput(std::optional<std::chrono::nanoseconds> timeout) override {
        const auto next =
            std::min_element(pending_.begin(), pending_.end(),
                             [](const auto& a, const auto& b) { return a.at < b.at; });
        if (next != pending_.end() && (!timeout || next->at <= now_ + *timeout)) {
            now_ = std::max(now_, next->at);
            return true;
        }
        if (!timeout) {
            throw std::logic_error("a wait without end for a reply that never comes");
        }
        now_ += *timeout;
        return false;
    }

    Result<std::size_t> read(std::span<std::uint8_t> into) override {
        std::size_t count = 0;
        for (auto& arrival : pending_) {
            while (arrival.at <= now_ && !arrival.bytes.empty() && count < into.size()) {
                into[count++] = arrival.bytes.front();
                arrival.bytes.erase(arrival.bytes.begin());
            }
        }
        dropEmpty();
        return count;
    }

    void discardInput() override {
        for (auto& arrival : pending_) {
            if (arrival.at <= now_) {
                arrival.bytes.clear();
            }
        }
        dropEmpty();
    }

  private:
    struct Arrival {
        Time at;
        std::vector<std::uint8_t> bytes;
    };

    void dropEmpty() {
        std::erase_if(pending_, [](const Arrival& arrival) { return arrival.bytes.empty(); });
    }

    Time drainTime_;
    SamplerScript script_;
    Time now_{};
    SysExMessage last_;
    std::vector<Written> written_;
    std::vector<Arrival> pending_;
};

} // namespace pelitor::test
