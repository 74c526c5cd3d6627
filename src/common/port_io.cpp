#include "common/port_io.hpp"

#include "platform/port_limits.hpp"

namespace pelitor {

Result<Time> writeMessage(platform::Port& port, std::span<const std::uint8_t> bytes,
                          const TransferWatch& watch) {
    if (auto failure = port.write(bytes)) {
        return *failure;
    }
    const auto drained = port.drain();
    if (!drained) {
        return drained.failure();
    }
    Time left = watch.now();
    if (!*drained) {
        left += platform::midiByteTime * static_cast<Time::rep>(bytes.size());
    }
    return left;
}

Result<std::size_t> readUntil(platform::Port& port, std::optional<Time> deadline, Time now,
                              std::span<std::uint8_t> into) {
    std::optional<Time> timeout;
    if (deadline) {
        timeout = *deadline - now;
    }
    const auto ready = port.waitForInput(timeout);
    if (!ready) {
        return ready.failure();
    }
    if (!*ready) {
        return std::size_t{0};
    }
    return port.read(into);
}

} // namespace pelitor
