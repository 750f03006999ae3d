#include "tools/player/wav_reader.h"

#include <cstring>

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr size_t kRiffHeaderSize = 12;
constexpr size_t kChunkHeaderSize = 8;
constexpr size_t kFormatMinimumSize = 16;
constexpr size_t kExtensibleSubformatOffset = 24;

uint16_t read_u16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t read_u32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct Format {
    uint16_t tag = 0;
    uint16_t channels = 0;
    uint32_t sample_rate = 0;
    uint16_t block_align = 0;
    uint16_t bits = 0;
};

// The format's own tag, or for an extensible header the tag its subformat carries.
uint16_t effective_tag(const uint8_t* body, size_t body_size)
{
    const uint16_t tag = read_u16(body);
    if (tag != kFormatExtensible || body_size < kExtensibleSubformatOffset + 2)
        return tag;
    return read_u16(body + kExtensibleSubformatOffset);
}

std::string check_format(const Format& format)
{
    if (format.tag != kFormatPcm)
        return "not PCM audio (format " + std::to_string(format.tag) + ")";
    if (format.bits != 16)
        return std::to_string(format.bits) + "-bit samples; only 16-bit PCM is played";
    if (format.channels != 1 && format.channels != 2)
        return std::to_string(format.channels) + " channels; only mono and stereo are played";
    if (format.block_align != format.channels * 2)
        return "inconsistent block alignment " + std::to_string(format.block_align);
    if (format.sample_rate == 0 || format.sample_rate > 384000)
        return "unusable sample rate " + std::to_string(format.sample_rate);
    return {};
}

PcmAudio decode_frames(const Format& format, const uint8_t* data, size_t size)
{
    PcmAudio audio;
    audio.sample_rate = static_cast<int32_t>(format.sample_rate);
    const size_t frames = size / format.block_align;
    audio.samples.resize(frames * kPlayerChannels);
    for (size_t frame = 0; frame < frames; ++frame) {
        const uint8_t* p = data + frame * format.block_align;
        const auto left = static_cast<int16_t>(read_u16(p));
        const auto right = format.channels == 2 ? static_cast<int16_t>(read_u16(p + 2)) : left;
        audio.samples[frame * 2] = left;
        audio.samples[frame * 2 + 1] = right;
    }
    return audio;
}

WavReadResult failure(std::string error)
{
    WavReadResult result;
    result.error = std::move(error);
    return result;
}

}  // namespace

WavReadResult read_wav(const uint8_t* data, size_t size)
{
    if (size < kRiffHeaderSize || memcmp(data, "RIFF", 4) != 0 || memcmp(data + 8, "WAVE", 4) != 0)
        return failure("not a WAV file (no RIFF/WAVE header)");

    Format format;
    bool have_format = false;
    size_t offset = kRiffHeaderSize;
    while (size - offset >= kChunkHeaderSize) {
        const uint8_t* chunk = data + offset;
        const uint32_t declared = read_u32(chunk + 4);
        const size_t available = size - offset - kChunkHeaderSize;
        const uint8_t* body = chunk + kChunkHeaderSize;

        if (memcmp(chunk, "fmt ", 4) == 0) {
            if (declared < kFormatMinimumSize || available < kFormatMinimumSize)
                return failure("truncated format chunk");
            const size_t body_size = declared < available ? declared : available;
            format.tag = effective_tag(body, body_size);
            format.channels = read_u16(body + 2);
            format.sample_rate = read_u32(body + 4);
            format.block_align = read_u16(body + 12);
            format.bits = read_u16(body + 14);
            std::string problem = check_format(format);
            if (!problem.empty())
                return failure(problem);
            have_format = true;
        } else if (memcmp(chunk, "data", 4) == 0) {
            if (!have_format)
                return failure("data chunk before the format chunk");
            const size_t data_size = declared < available ? declared : available;
            WavReadResult result;
            result.audio = decode_frames(format, body, data_size);
            if (result.audio.frame_count() == 0)
                return failure("no audio frames in the data chunk");
            return result;
        }
        // Chunks are padded to an even length.
        const uint64_t step = uint64_t{declared} + (declared & 1u);
        if (step > available)
            break;
        offset += kChunkHeaderSize + static_cast<size_t>(step);
    }
    return failure(have_format ? "no data chunk" : "truncated header: no format chunk");
}
