#pragma once

#include "common/failure.hpp"
#include "receive/live_receive.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelitor::receive {

// Why a dump from a port cannot be taken (none: it can): "the sampler did not answer the dump
// request for sample 3 on device channel 0; ...", with the status it ends with.
std::optional<Failure> receptionFailure(const Reception& reception,
                                        const ReceiveSettings& settings);

// One warning line for each packet a dump taken anyway lacks.
std::vector<std::string> keptPacketLines(const DumpAssembly& dump);

// The progress line on a terminal: "sample 3: 120 of 1103 packets (10%), 2 NAKs, 0:42 left",
// or what it waits for.
std::string receiveProgressLine(std::string_view name, const Reception& reception, Time now,
                                std::size_t columns);

} // namespace pelitor::receive
