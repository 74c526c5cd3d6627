#include "app/refusal.hpp"

#include "app/sample_format.hpp"
#include "sds/seven_bit.hpp"
#include "sds/word_format.hpp"
#include "wav/little_endian.hpp"

#include <string_view>
#include <vector>

namespace pelitor {
namespace {

constexpr Guid pcmSubFormat{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                            0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::uint32_t nanosecondsPerSecond = 1'000'000'000;
constexpr std::uint32_t resampledRate = 8000;

// What the SoX command writes to fix a fault: options for the output, and an effect after it.
constexpr const char* to24Bit = "-b 24";
constexpr const char* keepsTheMost = " (24-bit keeps the most)";
constexpr const char* toLinear = "-b 16 -e signed-integer";

std::string soxCommand(const std::string& options, const std::string& effect = "") {
    return "sox in.wav " + options + (options.empty() ? "" : " ") + "out.wav" +
           (effect.empty() ? "" : " " + effect);
}

// A fault that SoX can fix: the message when it is the only one, how a list of several names
// it, and the SoX arguments that fix it.
struct Fault {
    std::string alone;
    std::string named;
    std::string options;
    std::string effect;
};

struct FormatName {
    const char* name;
    const char* fix;      // null where SoX offers none
    bool framesCountable; // whether the data's size counts its frames
};

std::optional<FormatName> formatName(int tag) {
    switch (tag) {
    case 2:
        return FormatName{"Microsoft ADPCM", toLinear, false};
    case 3:
        return FormatName{"IEEE float", to24Bit, true};
    case 6:
        return FormatName{"A-law", toLinear, true};
    case 7:
        return FormatName{"mu-law", toLinear, true};
    case 0x11:
        return FormatName{"IMA ADPCM", toLinear, false};
    case 0x55:
        return FormatName{"MP3", nullptr, false};
    default:
        return std::nullopt;
    }
}

constexpr const char* cannotConvert = " cannot be converted; only linear PCM can";

// "32-bit IEEE float samples (format type 3)".
std::string formatNamed(const WavHeader& header, const FormatName& name, const std::string& where) {
    return std::to_string(header.bitsPerSample) + "-bit " + name.name + " samples (" + where + ")";
}

// Hundredths of a second as "47.55".
std::string seconds(std::uint64_t hundredths) {
    const std::uint64_t fraction = hundredths % 100;
    return std::to_string(hundredths / 100) + (fraction < 10 ? ".0" : ".") +
           std::to_string(fraction);
}

// The faults found so far, or the one refusal that ends the search.
struct Findings {
    std::vector<Fault> faults;
    std::optional<std::string> alone;
    bool framesCountable = true;
};

void findEncoding(const WavHeader& header, Findings& found) {
    int tag = header.formatTag;
    std::string where = "format type " + std::to_string(tag);
    if (tag == wavFormatPcm) {
        return;
    }
    if (tag == wavFormatExtensible) {
        if (!header.subFormat) {
            found.alone = "the extensible format chunk is too short to name its sub-format; only "
                          "linear PCM can be converted";
            return;
        }
        if (*header.subFormat == pcmSubFormat) {
            return;
        }
        tag = le16(*header.subFormat);
        where = "extensible format, sub-format " + std::to_string(tag);
    }
    const auto name = formatName(tag);
    if (!name) {
        found.alone = "samples of " + where + cannotConvert;
        return;
    }
    const std::string named = formatNamed(header, *name, where);
    if (name->fix == nullptr) {
        found.alone = named + cannotConvert;
        return;
    }
    const std::string fix = name->fix;
    found.faults.push_back({named + cannotConvert + "; convert with " + soxCommand(fix) +
                                (fix == to24Bit ? keepsTheMost : ""),
                            named + ", not linear PCM", fix, ""});
    found.framesCountable = name->framesCountable;
}

// A PCM width that cannot become words: fixed by the width SoX should write, or, for a
// container no command fixes, refused alone.
void findWidth(const WavHeader& header, int bits, Findings& found) {
    const auto widths = sampleWidths(header, bits);
    if (widths) {
        return;
    }
    const WidthFix fix = widthFix(header);
    if (fix.soxBits == 0) {
        found.alone = widths.failure().message;
        return;
    }
    found.faults.push_back({widths.failure().message,
                            std::to_string(fix.wavBits) + "-bit samples, not 8 to 24 bits",
                            "-b " + std::to_string(fix.soxBits), ""});
}

// The length as the fixed file would have it: mono, and at the rate SoX resamples it to.
void findLength(const WavHeader& header, std::uint64_t dataBytes, bool resampled, Findings& found) {
    const std::uint64_t frameBytes =
        std::uint64_t{header.channels} * ((header.bitsPerSample + 7u) / 8u);
    if (!found.framesCountable || frameBytes == 0) {
        return;
    }
    const std::uint32_t rate = header.sampleRate;
    const std::uint64_t frames = (dataBytes + frameBytes - 1) / frameBytes;
    const std::uint32_t fixedRate = resampled ? resampledRate : rate;
    const std::uint64_t words = (frames * fixedRate + rate - 1) / rate;
    if (words <= maxSevenBitTriple) {
        return;
    }
    // The length rounded up and the most that fits rounded down, so that the advice fits.
    const std::uint64_t length = (frames * 100 + rate - 1) / rate;
    const std::uint64_t most = std::uint64_t{maxSevenBitTriple} * 100 / fixedRate;
    const std::string trim = most > 0 ? "trim 0 " + seconds(most) : "";
    const std::string lasts = "the file lasts " + seconds(length) + " s, at most " + seconds(most) +
                              " s at " + std::to_string(fixedRate) + " Hz";
    found.faults.push_back({std::to_string(words) + " sample words are more than the " +
                                std::to_string(maxSevenBitTriple) +
                                " an SDS sample can hold: " + lasts +
                                (most > 0 ? "; shorten it with " + soxCommand("", trim) : ""),
                            "a length of " + seconds(length) + " s, over the " + seconds(most) +
                                " s an SDS sample holds at " + std::to_string(fixedRate) + " Hz",
                            "", trim});
}

// "a; b: fix both with sox in.wav ... out.wav ...".
std::string together(const std::vector<Fault>& faults) {
    std::string named;
    std::string options;
    std::string effect;
    for (const Fault& fault : faults) {
        named += (named.empty() ? "" : "; ") + fault.named;
        if (!fault.options.empty()) {
            options += (options.empty() ? "" : " ") + fault.options;
        }
        effect += fault.effect;
    }
    return named + (faults.size() == 2 ? ": fix both with " : ": fix them all with ") +
           soxCommand(options, effect);
}

} // namespace

std::optional<std::string> sampleRefusal(const WavHeader& header, std::uint64_t dataBytes,
                                         int bits) {
    Findings encoding;
    findEncoding(header, encoding);
    if (encoding.alone) {
        return encoding.alone;
    }
    if (header.channels == 0) {
        return "the format chunk says 0 channels: the file is damaged";
    }
    // The period must fit in three 7-bit bytes and must not be 0: rates from 477 Hz to 1 GHz.
    const std::uint32_t rate = header.sampleRate;
    const std::uint32_t period = rate > 0 ? nanosecondsPerSecond / rate : 0;
    const std::string rateText = "sample rate " + std::to_string(rate) +
                                 " Hz cannot be sent; SDS carries rates from 477 Hz to "
                                 "1000000000 Hz";
    if (period < 1) {
        return rateText;
    }

    // In the order of the SoX command that fixes them.
    Findings found;
    found.framesCountable = encoding.framesCountable;
    if (header.channels > 1) {
        const std::string channels = std::to_string(header.channels) + " channels";
        found.faults.push_back(
            {channels + ": an SDS sample is mono; mix the file down to one channel with " +
                 soxCommand("-c 1"),
             channels + ", not mono", "-c 1", ""});
    }
    if (encoding.faults.empty()) {
        // Only linear PCM has a width of its own to judge.
        findWidth(header, bits, found);
        if (found.alone) {
            return found.alone;
        }
    }
    found.faults.insert(found.faults.end(), encoding.faults.begin(), encoding.faults.end());
    const bool slow = period > maxSevenBitTriple;
    if (slow) {
        const std::string fix = "-r " + std::to_string(resampledRate);
        found.faults.push_back({rateText + "; resample with " + soxCommand(fix),
                                "a sample rate of " + std::to_string(rate) + " Hz, below 477 Hz",
                                fix, ""});
    }
    findLength(header, dataBytes, slow, found);
    if (found.faults.empty()) {
        return std::nullopt;
    }
    return found.faults.size() == 1 ? found.faults.front().alone : together(found.faults);
}

std::optional<std::string> otherFormatRefusal(std::span<const std::uint8_t> firstBytes) {
    const std::string_view text(reinterpret_cast<const char*>(firstBytes.data()),
                                firstBytes.size());
    const auto make = [](std::string what, std::string extension, std::string_view needs = "") {
        return what + ", not a WAV file; make a WAV file of it with sox in." + extension +
               " out.wav" + std::string(needs);
    };
    if (text.starts_with("FORM") && text.size() >= 12) {
        if (text.substr(8, 4) == "AIFF") {
            return make("an AIFF file", "aiff");
        }
        if (text.substr(8, 4) == "AIFC") {
            return make("an AIFF-C file", "aifc");
        }
    }
    if (text.starts_with("fLaC")) {
        return make("a FLAC file", "flac");
    }
    if (text.starts_with("OggS")) {
        return make("an Ogg file", "ogg");
    }
    // An MPEG audio frame: 11 sync bits, a version that is not reserved, layer I, II or III.
    const bool frameSync = firstBytes.size() >= 2 && firstBytes[0] == 0xFF &&
                           (firstBytes[1] & 0xE0) == 0xE0 && (firstBytes[1] & 0x18) != 0x08 &&
                           (firstBytes[1] & 0x06) != 0;
    if (text.starts_with("ID3") || frameSync) {
        return make("an MP3 file", "mp3",
                    ", once SoX can read MP3 (on Debian, the package libsox-fmt-mp3)");
    }
    return std::nullopt;
}

} // namespace pelitor
