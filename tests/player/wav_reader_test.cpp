#include "tools/player/wav_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct WavContent {
    uint16_t format_tag = 1;
    uint16_t channels = 2;
    uint32_t sample_rate = 44100;
    uint16_t bits = 16;
    std::vector<int16_t> samples;
};

void put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void put_chunk(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& body,
               uint32_t declared_size)
{
    out.insert(out.end(), id, id + 4);
    put32(out, declared_size);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1)
        out.push_back(0);
}

std::vector<uint8_t> format_body(const WavContent& wav)
{
    std::vector<uint8_t> body;
    put16(body, wav.format_tag);
    put16(body, wav.channels);
    put32(body, wav.sample_rate);
    const uint32_t block_align = wav.channels * wav.bits / 8;
    put32(body, wav.sample_rate * block_align);
    put16(body, block_align);
    put16(body, wav.bits);
    return body;
}

std::vector<uint8_t> sample_bytes(const std::vector<int16_t>& samples)
{
    std::vector<uint8_t> bytes;
    for (int16_t sample : samples)
        put16(bytes, static_cast<uint16_t>(sample));
    return bytes;
}

// A file of RIFF header, "fmt ", the extra chunks and "data", in that order.
std::vector<uint8_t> make_wav(const WavContent& wav,
                              const std::vector<std::vector<uint8_t>>& extra_chunks = {})
{
    std::vector<uint8_t> chunks;
    const std::vector<uint8_t> format = format_body(wav);
    put_chunk(chunks, "fmt ", format, static_cast<uint32_t>(format.size()));
    for (const auto& chunk : extra_chunks)
        chunks.insert(chunks.end(), chunk.begin(), chunk.end());
    const std::vector<uint8_t> data = sample_bytes(wav.samples);
    put_chunk(chunks, "data", data, static_cast<uint32_t>(data.size()));

    std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
    put32(file, static_cast<uint32_t>(4 + chunks.size()));
    file.insert(file.end(), {'W', 'A', 'V', 'E'});
    file.insert(file.end(), chunks.begin(), chunks.end());
    return file;
}

// The bytes in a buffer of exactly their size, so any read past the end is caught.
WavReadResult read(const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> exact(bytes);
    return read_wav(exact.data(), exact.size());
}

TEST(WavReader, StereoSixteenBitPcmIsReadSampleForSample)
{
    WavContent wav;
    wav.sample_rate = 48000;
    wav.samples = {1, -1, 32767, -32768, 1000, -2000};
    const WavReadResult result = read(make_wav(wav));
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.audio.sample_rate, 48000);
    EXPECT_EQ(result.audio.samples, wav.samples);
    EXPECT_EQ(result.audio.frame_count(), 3u);
}

TEST(WavReader, MonoIsPlayedOnBothChannels)
{
    WavContent wav;
    wav.channels = 1;
    wav.samples = {5, -7, 300};
    const WavReadResult result = read(make_wav(wav));
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.audio.samples, (std::vector<int16_t>{5, 5, -7, -7, 300, 300}));
}

TEST(WavReader, OtherChunksAreSkippedWithTheirPadding)
{
    WavContent wav;
    wav.samples = {11, 22};
    std::vector<uint8_t> list;
    put_chunk(list, "LIST", {'a', 'b', 'c'}, 3);  // odd length: one pad byte follows
    std::vector<uint8_t> fact;
    put_chunk(fact, "fact", {1, 0, 0, 0}, 4);
    const WavReadResult result = read(make_wav(wav, {list, fact}));
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.audio.samples, wav.samples);
}

TEST(WavReader, ExtensibleHeaderWithPcmSubformatIsAccepted)
{
    WavContent wav;
    wav.samples = {3, 4};
    std::vector<uint8_t> file = make_wav(wav);
    // Rewrite the format chunk as the 40-byte extensible form, subformat PCM.
    std::vector<uint8_t> format = format_body(wav);
    format[0] = 0xFE;
    format[1] = 0xFF;
    put16(format, 22);
    put16(format, 16);
    put32(format, 3);
    put16(format, 1);
    format.resize(40, 0);
    std::vector<uint8_t> rebuilt(file.begin(), file.begin() + 12);
    put_chunk(rebuilt, "fmt ", format, 40);
    rebuilt.insert(rebuilt.end(), file.begin() + 36, file.end());
    const WavReadResult result = read(rebuilt);
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.audio.samples, wav.samples);
}

TEST(WavReader, DataCutShortKeepsTheWholeFramesThatArePresent)
{
    WavContent wav;
    wav.samples = {1, 2, 3, 4, 5, 6};
    std::vector<uint8_t> file = make_wav(wav);
    file.resize(file.size() - 3);  // the last frame loses three of its four bytes
    const WavReadResult result = read(file);
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.audio.samples, (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(WavReader, EveryTruncationOfTheHeaderIsRefusedWithoutReadingPastTheEnd)
{
    WavContent wav;
    wav.samples = {1, 2};
    const std::vector<uint8_t> file = make_wav(wav);
    const size_t header_size = 44;
    for (size_t size = 0; size <= header_size; ++size) {
        const WavReadResult result = read({file.begin(), file.begin() + size});
        EXPECT_NE(result.error, "") << size << " bytes";
        EXPECT_TRUE(result.audio.samples.empty()) << size << " bytes";
    }
    EXPECT_EQ(read({file.begin(), file.begin() + 36}).error, "no data chunk");
    EXPECT_EQ(read({file.begin(), file.begin() + 30}).error, "truncated format chunk");
    EXPECT_EQ(read({file.begin(), file.begin() + 11}).error, "not a WAV file (no RIFF/WAVE header)");
}

TEST(WavReader, FormatsOtherThanSixteenBitPcmAreRefusedByName)
{
    WavContent eight_bit;
    eight_bit.bits = 8;
    eight_bit.samples = {0x7F7F};
    EXPECT_EQ(read(make_wav(eight_bit)).error, "8-bit samples; only 16-bit PCM is played");

    WavContent twenty_four_bit;
    twenty_four_bit.bits = 24;
    twenty_four_bit.samples = {0, 0, 0};
    EXPECT_EQ(read(make_wav(twenty_four_bit)).error, "24-bit samples; only 16-bit PCM is played");

    WavContent floating;
    floating.format_tag = 3;
    floating.bits = 32;
    floating.samples = {0, 0, 0, 0};
    EXPECT_EQ(read(make_wav(floating)).error, "not PCM audio (format 3)");

    WavContent surround;
    surround.channels = 6;
    surround.samples = {0, 0, 0, 0, 0, 0};
    EXPECT_EQ(read(make_wav(surround)).error, "6 channels; only mono and stereo are played");

    WavContent no_rate;
    no_rate.sample_rate = 0;
    no_rate.samples = {0, 0};
    EXPECT_EQ(read(make_wav(no_rate)).error, "unusable sample rate 0");
}

TEST(WavReader, ForeignAndMalformedFilesGiveAnError)
{
    const std::string text = "this is a text file, not audio\n";
    EXPECT_EQ(read({text.begin(), text.end()}).error, "not a WAV file (no RIFF/WAVE header)");
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
    EXPECT_EQ(read(png).error, "not a WAV file (no RIFF/WAVE header)");

    WavContent wav;
    wav.samples = {1, 2};
    // A chunk that claims more bytes than the file holds, before the format.
    std::vector<uint8_t> huge = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    put_chunk(huge, "junk", {}, 0xFFFFFFFFu);
    EXPECT_EQ(read(huge).error, "truncated header: no format chunk");

    // Data first, format after.
    std::vector<uint8_t> data_first = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    put_chunk(data_first, "data", sample_bytes(wav.samples), 4);
    put_chunk(data_first, "fmt ", format_body(wav), 16);
    EXPECT_EQ(read(data_first).error, "data chunk before the format chunk");

    WavContent empty;
    EXPECT_EQ(read(make_wav(empty)).error, "no audio frames in the data chunk");
}

}  // namespace
