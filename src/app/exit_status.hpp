#pragma once

#include "common/exit_status.hpp"

namespace pelitor {

// The converter's own statuses, beside the shared ones; the README lists them for users.
enum ConverterStatus : int {
    exitSampleBufferFailed = 1, // the sample buffer could not be allocated
    exitAbnormal = 3,           // out of memory anywhere else
};

} // namespace pelitor
