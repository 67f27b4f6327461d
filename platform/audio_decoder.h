// Decoders behind the audio engine: a file becomes 16-bit interleaved frames at its own rate
// and channel count, with an exact length and frame-exact seeks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace spirelo {

class AudioDecoder {
public:
    virtual ~AudioDecoder() = default;
    int channels() const { return channels_; }
    std::uint32_t rate() const { return rate_; }
    std::uint64_t lengthFrames() const { return length_; }
    std::uint64_t position() const { return position_; }   // next frame read() gives
    const char* kind() const { return kind_; }

    // Reads up to `frames` frames; fewer only at the end. Never past lengthFrames().
    std::size_t read(std::int16_t* out, std::size_t frames);
    // Frame-exact; false (position unchanged) beyond the length.
    bool seek(std::uint64_t frame);
    // Shortens the length to what a damaged file really holds; never lengthens it.
    void limitLength(std::uint64_t frames) { length_ = frames < length_ ? frames : length_; }

protected:
    virtual std::size_t readRaw(std::int16_t* out, std::size_t frames) = 0;
    virtual bool seekRaw(std::uint64_t frame) = 0;
    int channels_ = 0;
    std::uint32_t rate_ = 0;
    std::uint64_t length_ = 0;
    std::uint64_t position_ = 0;
    const char* kind_ = "";
    bool padToLength_ = false;   // a renderer that may end early is padded with silence
};

// Streams: WAV, AIFF, FLAC, OGG ... through libsndfile (Ogg Vorbis that it refuses through
// libvorbisfile), MPEG audio through libmpg123, chosen by content. The length is what decodes,
// whatever a damaged file's header claims. On failure returns null and sets *error to one of
// the AudioError codes.
std::unique_ptr<AudioDecoder> OpenStreamDecoder(const std::string& path, int* error);
// Tracker modules through libopenmpt, rendered in stereo at `rate`.
std::unique_ptr<AudioDecoder> OpenModuleDecoder(const std::string& path, std::uint32_t rate, int* error);

// True when the bytes hold MPEG audio frames: after any ID3v2 tags, several frame headers
// that chain into each other. Exposed for tests.
bool LooksLikeMpegAudio(const unsigned char* data, std::size_t size);

}  // namespace spirelo
