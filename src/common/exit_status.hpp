#pragma once

#include "common/failure.hpp"

namespace pelitor {

// The statuses every program ends with, in the classes of sysexits.h; the README and the
// manual pages list them for users. A program's own statuses beyond these are defined where
// it decides them.
enum ExitStatus : int {
    exitSuccess = 0,
    exitUsage = 64,       // the command line is wrong
    exitDataError = 65,   // the input is not in a form the program can take
    exitNoInput = 66,     // the input cannot be opened or read
    exitUnavailable = 69, // a device cannot be opened, or there is none
    exitCantCreate = 73,  // the output cannot be created, or would destroy something
    exitIoError = 74,     // writing, or talking to a device, failed
    exitTempFail = 75,    // the other end refused or cancelled
};

constexpr ExitStatus exitStatusFor(FailureKind kind) {
    switch (kind) {
    case FailureKind::usage:
        return exitUsage;
    case FailureKind::dataError:
        return exitDataError;
    case FailureKind::noInput:
        return exitNoInput;
    case FailureKind::unavailable:
        return exitUnavailable;
    case FailureKind::cannotCreate:
        return exitCantCreate;
    case FailureKind::ioError:
        return exitIoError;
    case FailureKind::temporaryFailure:
        return exitTempFail;
    }
    return exitIoError;
}

} // namespace pelitor
