#include "app/conversion.hpp"

#include "app/exit_status.hpp"
#include "app/refusal.hpp"
#include "app/report.hpp"
#include "app/sample_plan.hpp"
#include "platform/platform.hpp"
#include "sds/data_packet.hpp"
#include "sds/dump_header.hpp"
#include "wav/wav_listing.hpp"
#include "wav/wav_reader.hpp"

#include <array>
#include <new>
#include <optional>
#include <ostream>

namespace pelitor {
namespace {

constexpr int headerDots = 9;

// A file that is not a WAV file may be one that SoX makes a WAV file of; a damaged WAV file
// never starts like one.
Failure notWav(ByteSource& input, const Failure& failure) {
    if (failure.kind != FailureKind::dataError) {
        return failure;
    }
    std::array<std::uint8_t, 12> first{};
    const auto read = input.read(0, first);
    if (!read) {
        return failure;
    }
    if (auto other = otherFormatRefusal(std::span(first).first(*read))) {
        return {FailureKind::dataError, std::move(*other)};
    }
    return failure;
}

void endLine(std::ostream& out) {
    out << '\n' << std::flush;
}

// Once writing has failed, each packet's mark names the size of its words instead of ".": as
// for 8-, 16- and 24-bit words, whatever their width.
char failMark(const WordFormat& format) {
    switch (format.bytesPerWord) {
    case 2:
        return 'o';
    case 3:
        return 'h';
    default:
        return 't';
    }
}

} // namespace

SampleBuffer allocateSampleBuffer(std::size_t size) {
    auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    platform::preferLargePages(buffer.get(), size);
    return buffer;
}

int convert(const ConversionFiles& files, const ConversionOptions& options, const Console& console,
            SampleBufferAllocator allocate) {
    SdsOutput& output = files.output;
    // Quiet, the listing and the progress go nowhere; "bad new!!" still goes out.
    std::ostream discarded(nullptr);
    std::ostream& out = console.quiet ? discarded : console.out;
    // Only a loop taken from the file needs the chunks after the data.
    const bool fileLoop = options.loop.kind == LoopRequest::Kind::wav ||
                          options.loop.kind == LoopRequest::Kind::automatic;
    const auto header =
        readWavHeader(files.input, fileLoop ? ChunkWalk::wholeFile : ChunkWalk::toData);
    if (!header) {
        return fail(console.errors, files.inputName, notWav(files.input, header.failure()));
    }
    printWavHeader(out, *header, console.labels);

    const auto plan = planSample(*header, files.input.size(), options);
    if (!plan) {
        return fail(console.errors, files.inputName, plan.failure());
    }
    if (plan->warning) {
        warn(console.errors, files.inputName, *plan->warning);
    }
    if (files.outputIsInput) {
        return fail(console.errors, output.name(), *files.outputIsInput);
    }
    if (auto failure = output.open(dumpHeaderSize + plan->packets * packetSize)) {
        return fail(console.errors, output.name(), *failure);
    }

    // The first failed write is kept, and nothing is written after it.
    std::optional<Failure> writeFailure;
    const auto write = [&](std::span<const std::uint8_t> bytes) {
        if (!writeFailure) {
            writeFailure = output.write(bytes);
        }
        return !writeFailure;
    };

    out << "[Writing Header ";
    write(makeDumpHeader(plan->dumpHeader));
    out << std::string(headerDots, '.') << " End]";
    endLine(out);

    SampleBuffer buffer;
    try {
        buffer = allocate(plan->dataBytes);
    } catch (const std::bad_alloc&) {
        // The program's own words for this, on standard output with the progress lines.
        console.out << "bad new!!";
        endLine(console.out);
        output.discard();
        warn(console.errors, files.inputName,
             std::to_string(plan->dataBytes) + " bytes of sample data could not be allocated");
        return exitSampleBufferFailed;
    }
    const std::span data(buffer.get(), plan->dataBytes);
    const auto read = files.input.read(plan->dataOffset, data);
    if (!read || *read != data.size()) {
        output.discard();
        return fail(console.errors, files.inputName,
                    read ? Failure{FailureKind::noInput, "the sample data could not be read"}
                         : read.failure());
    }

    out << "[Writing Data ";
    for (std::uint64_t index = 0; index < plan->packets; ++index) {
        // Each packet is written as soon as it is built, so that its mark says whether it
        // reached the file.
        const bool written =
            write(makeDataPacket(plan->dumpHeader.deviceChannel, index, data, plan->format));
        out << (written ? '.' : failMark(plan->format));
        if (console.liveProgress) {
            out.flush();
        }
    }
    if (writeFailure) {
        output.discard();
    } else {
        writeFailure = output.commit();
    }
    out << " End]";
    endLine(out);
    if (writeFailure) {
        return fail(console.errors, output.name(), *writeFailure);
    }
    return exitSuccess;
}

} // namespace pelitor
