#include "send/file_set.hpp"

namespace pelitor::send {

std::optional<Failure> slotCollision(std::span<const std::string> names,
                                     std::span<const std::uint16_t> numbers) {
    for (std::size_t later = 1; later < numbers.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (numbers[earlier] == numbers[later]) {
                return Failure{FailureKind::usage, names[earlier] + " and " + names[later] +
                                                       " would both replace sample " +
                                                       std::to_string(numbers[later]) +
                                                       "; give -n"};
            }
        }
    }
    return std::nullopt;
}

} // namespace pelitor::send
