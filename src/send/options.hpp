#pragma once

#include "app/conversion_options.hpp"
#include "common/failure.hpp"
#include "send/handshake.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pelitor::send {

// What one run of pelitor-send is asked to do.
struct SendOptions {
    enum Task { send, list, check, help, version } task = send;
    std::string port;
    std::optional<std::string> input; // where the sampler's answers come in, if not PORT
    std::vector<std::string> files;   // sent in turn; --check takes one
    HandshakeSettings handshake;      // its pacing and retries; the rest comes from the file
    std::optional<std::uint8_t> deviceChannel; // overrides the file's
    std::optional<std::uint16_t> sampleNumber; // overrides the file's; a WAV's is 0
    // --loop and --bits, for a WAV file's words; an .sds file's are already made.
    ConversionOptions wordShape;
};

// Takes the arguments after the program's name.
Result<SendOptions> parseSendOptions(std::span<const std::string> arguments);

// What --help shows, built when asked for.
std::string usageText();

} // namespace pelitor::send
