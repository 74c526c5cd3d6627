#pragma once

#include "common/failure.hpp"

namespace pelitor {

// The statuses the program ends with; the README lists them for users.
enum ExitStatus : int {
    exitSuccess = 0,
    exitSampleBufferFailed = 1, // the sample buffer could not be allocated
    exitAbnormal = 3,           // out of memory anywhere else
    exitUsage = 64,             // the command line is wrong
    exitDataError = 65,         // the input is not a WAV file that can become an SDS sample
    exitNoInput = 66,           // the input cannot be opened or read
    exitCantCreate = 73,        // the output cannot be created, or would destroy the input
    exitIoError = 74,           // writing the output failed
};

constexpr ExitStatus exitStatusFor(FailureKind kind) {
    switch (kind) {
    case FailureKind::usage:
        return exitUsage;
    case FailureKind::unusable:
        return exitDataError;
    case FailureKind::unreadable:
        return exitNoInput;
    case FailureKind::cannotCreate:
        return exitCantCreate;
    case FailureKind::writeFailed:
        return exitIoError;
    case FailureKind::unavailable: // only pelitor-send opens devices
        return exitAbnormal;
    }
    return exitAbnormal;
}

} // namespace pelitor
