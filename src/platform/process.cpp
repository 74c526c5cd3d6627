#include "platform/process.hpp"

#include <cstdlib>

namespace pelitor::platform {

void exitNow(int status) noexcept {
    std::_Exit(status);
}

} // namespace pelitor::platform
