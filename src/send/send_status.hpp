#pragma once

#include "common/failure.hpp"
#include "send/handshake.hpp"

namespace pelitor::send {

// The statuses pelitor-send ends with; the README and the manual page list them for users.
enum SendStatus : int {
    sendSuccess = 0,
    sendUsage = 64,        // the command line is wrong
    sendDataError = 65,    // the file is not a valid SDS stream
    sendNoInput = 66,      // the file cannot be read
    sendUnavailable = 69,  // the port cannot be opened, or --list found none
    sendIoError = 74,      // the port failed while sending
    sendTempFail = 75,     // the sampler cancelled, or refused a packet too often
    sendInterrupted = 128, // plus the signal's number: 130 for Ctrl-C
};

constexpr int sendStatusFor(FailureKind kind) {
    switch (kind) {
    case FailureKind::usage:
        return sendUsage;
    case FailureKind::unusable:
        return sendDataError;
    case FailureKind::unreadable:
        return sendNoInput;
    case FailureKind::unavailable:
        return sendUnavailable;
    case FailureKind::cannotCreate: // pelitor-send creates no files
    case FailureKind::writeFailed:
        return sendIoError;
    }
    return sendIoError;
}

} // namespace pelitor::send
