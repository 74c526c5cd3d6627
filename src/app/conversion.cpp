#include "app/conversion.hpp"

#include "app/exit_status.hpp"
#include "app/report.hpp"
#include "app/sample_plan.hpp"
#include "sds/data_packets.hpp"
#include "sds/dump_header.hpp"
#include "wav/wav_listing.hpp"
#include "wav/wav_reader.hpp"

#include <new>
#include <variant>

namespace pelitor {
namespace {

void endLine(std::ostream& out) {
    out << '\n' << std::flush;
}

} // namespace

SampleBuffer allocateSampleBuffer(std::size_t size) {
    return std::make_unique_for_overwrite<std::uint8_t[]>(size);
}

int convert(ByteSource& input, std::string_view inputName, SdsOutput& output,
            const Console& console, SampleBufferAllocator allocate) {
    const auto read = readWavHeader(input);
    if (const auto* error = std::get_if<WavReadError>(&read)) {
        report(console.errors, inputName, error->message);
        return exitDataError;
    }
    const WavHeader& header = std::get<WavHeader>(read);
    printWavHeader(console.out, header);

    const auto planned = planSample(header, input.size());
    if (const auto* refusal = std::get_if<Refusal>(&planned)) {
        report(console.errors, inputName, refusal->message);
        return exitDataError;
    }
    const SamplePlan& plan = std::get<SamplePlan>(planned);
    if (plan.warning) {
        report(console.errors, inputName, *plan.warning);
    }
    const std::uint64_t packets = packetCount(plan.sample.wordCount, plan.format);
    if (auto refusal = output.open(dumpHeaderSize + packets * packetSize)) {
        report(console.errors, output.name(), *refusal);
        return exitCantCreate;
    }

    console.out << "[Writing Header ";
    writeDumpHeader(output.stream(), plan.sample, console.out);
    console.out << " End]";
    endLine(console.out);
    output.stream().flush();

    SampleBuffer buffer;
    try {
        buffer = allocate(plan.dataBytes);
    } catch (const std::bad_alloc&) {
        console.out << "bad new!!";
        endLine(console.out);
        output.discard();
        return exitSampleBufferFailed;
    }
    const std::span data(buffer.get(), plan.dataBytes);
    if (input.read(plan.dataOffset, data) != data.size()) {
        report(console.errors, inputName, "the sample data could not be read");
        output.discard();
        return exitNoInput;
    }

    console.out << "[Writing Data ";
    writeDataPackets(output.stream(), data, plan.format, console.out, console.liveProgress);
    const auto failure = output.commit();
    console.out << " End]";
    endLine(console.out);
    if (failure) {
        report(console.errors, output.name(), *failure);
        return exitIoError;
    }
    return exitSuccess;
}

} // namespace pelitor
