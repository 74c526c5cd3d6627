#include "send/wav_dump.hpp"

#include "app/conversion.hpp"
#include "app/input_file.hpp"
#include "common/message_line.hpp"
#include "platform/platform.hpp"
#include "send/send_report.hpp"

#include <sstream>
#include <string_view>

namespace pelitor::send {
namespace {

// The dump held in memory: nothing goes to disk.
class MemorySds final : public SdsOutput {
  public:
    explicit MemorySds(std::string name) : name_(std::move(name)) {}

    const std::string& name() const override { return name_; }
    std::optional<Failure> open(std::uint64_t size) override {
        bytes.reserve(static_cast<std::size_t>(size));
        return std::nullopt;
    }
    std::optional<Failure> write(std::span<const std::uint8_t> data) override {
        bytes.insert(bytes.end(), data.begin(), data.end());
        return std::nullopt;
    }
    std::optional<Failure> commit() override { return std::nullopt; }
    void discard() noexcept override { bytes.clear(); }

    std::vector<std::uint8_t> bytes;

  private:
    std::string name_;
};

// The converter's lines, "pelitor: voice.wav: ...", said by pelitor-send.
void speakAsSender(const std::string& lines, std::ostream& errors) {
    constexpr std::string_view converter = "pelitor: ";
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
        const std::string_view what =
            std::string_view(line).substr(line.starts_with(converter) ? converter.size() : 0);
        complain(errors, "", what);
    }
}

} // namespace

WavDump dumpOfWav(const std::string& path, const ConversionOptions& options, std::ostream& errors) {
    const std::string name = subjectName(platform::displayName(path));
    auto input = InputFile::open(platform::toPath(path));
    if (!input) {
        return {std::nullopt, fail(errors, name, input.failure())};
    }
    MemorySds dump(name);
    std::ostream nowhere(nullptr);
    std::ostringstream said;
    const int status = convert({**input, name, dump}, options, {nowhere, said});
    speakAsSender(said.str(), errors);
    if (status != exitSuccess) {
        return {std::nullopt, status};
    }
    return {std::move(dump.bytes), status};
}

} // namespace pelitor::send
