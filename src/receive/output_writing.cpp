#include "receive/output_writing.hpp"

#include "common/atomic_file.hpp"
#include "common/output_name.hpp"
#include "platform/platform.hpp"

#include <filesystem>

namespace pelitor::receive {

Result<bool> intoDirectory(const std::optional<std::string>& output) {
    if (!output) {
        return false;
    }
    std::error_code ignored;
    if (std::filesystem::is_directory(platform::toPath(*output), ignored)) {
        return true;
    }
    if (endsInSeparator(*output)) {
        return Failure{FailureKind::cannotCreate,
                       "is not an existing directory; create it, or name the output file"};
    }
    return false;
}

std::optional<Failure> outputRefusal(const PlannedOutput& output, const std::string& input,
                                     std::string_view inputIs) {
    const std::filesystem::path path = platform::toPath(output.path);
    if (platform::sameFile(platform::toPath(input), path)) {
        return Failure{FailureKind::cannotCreate,
                       "is " + std::string(inputIs) + " itself; give another OUTPUT"};
    }
    std::error_code error;
    if (output.defaultName &&
        std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
        return Failure{FailureKind::cannotCreate,
                       "exists, and a default output name never replaces a file: give OUTPUT "
                       "to replace it"};
    }
    return std::nullopt;
}

std::optional<Failure> writeWhole(const std::string& path, std::span<const std::uint8_t> bytes) {
    AtomicFile file(platform::toPath(path));
    if (auto failure = file.open(bytes.size())) {
        return failure;
    }
    if (auto failure = file.write(bytes)) {
        return failure;
    }
    return file.commit();
}

} // namespace pelitor::receive
