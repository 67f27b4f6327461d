#include "platform/audio_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <libopenmpt/libopenmpt.h>
#include <mpg123.h>
#include <sndfile.h>
#include <vorbis/vorbisfile.h>

#include "common/file_io.h"
#include "platform/audio.h"

namespace spirelo {

std::size_t AudioDecoder::read(std::int16_t* out, std::size_t frames) {
    if (position_ >= length_ || frames == 0) return 0;
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(frames, length_ - position_));
    std::size_t got = 0;
    while (got < want) {
        std::size_t n = readRaw(out + got * channels_, want - got);
        if (n == 0) break;
        got += n;
    }
    if (got < want && padToLength_) {
        std::fill(out + got * channels_, out + want * channels_, std::int16_t{0});
        got = want;
    }
    position_ += got;
    if (got < want) length_ = position_;   // the data ended early: what was read is all there is
    return got;
}

bool AudioDecoder::seek(std::uint64_t frame) {
    if (frame > length_) return false;
    if (!seekRaw(frame)) return false;
    position_ = frame;
    return true;
}

namespace {

// ---- Reading the start of a file ----

// A music file is a regular file: a FIFO, device or socket named in a list is refused before
// anything could wait on it.
std::FILE* OpenRegularStream(const std::string& path) {
    int fd = -1;
    if (!OpenRegularFile(path, fd)) return nullptr;
    std::FILE* f = ::fdopen(fd, "rb");
    if (!f) ::close(fd);
    return f;
}

std::vector<unsigned char> ReadHead(const std::string& path, std::size_t limit, std::uint64_t* fileSize,
                                    bool* opened) {
    std::vector<unsigned char> data;
    *opened = false;
    *fileSize = 0;
    FILE* f = OpenRegularStream(path);
    if (!f) return data;
    *opened = true;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        long end = std::ftell(f);
        if (end > 0) *fileSize = static_cast<std::uint64_t>(end);
        std::fseek(f, 0, SEEK_SET);
    }
    data.resize(static_cast<std::size_t>(std::min<std::uint64_t>(limit, *fileSize)));
    std::size_t n = data.empty() ? 0 : std::fread(data.data(), 1, data.size(), f);
    data.resize(n);
    std::fclose(f);
    return data;
}

// ---- MPEG audio frame headers ----

struct MpegHeader {
    int version;      // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    int layer;        // 1, 2, 3
    int sampleRate;
    std::size_t frameBytes;
};

bool ParseMpegHeader(const unsigned char* p, MpegHeader* h) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
    int version = (p[1] >> 3) & 3;
    int layerBits = (p[1] >> 1) & 3;
    int bitrateIndex = p[2] >> 4;
    int rateIndex = (p[2] >> 2) & 3;
    int padding = (p[2] >> 1) & 1;
    if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
    int layer = 4 - layerBits;
    static const int kV1[3][14] = {
        {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
        {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
        {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}};
    static const int kV2[3][14] = {
        {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
        {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
        {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
    static const int kRates[3] = {44100, 48000, 32000};
    int kbps = (version == 3 ? kV1 : kV2)[layer - 1][bitrateIndex - 1];
    int rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    long bytes;
    if (layer == 1) bytes = (12L * kbps * 1000 / rate + padding) * 4;
    else if (layer == 3 && version != 3) bytes = 72L * kbps * 1000 / rate + padding;
    else bytes = 144L * kbps * 1000 / rate + padding;
    if (bytes < 4) return false;
    h->version = version;
    h->layer = layer;
    h->sampleRate = rate;
    h->frameBytes = static_cast<std::size_t>(bytes);
    return true;
}

}  // namespace

bool LooksLikeMpegAudio(const unsigned char* data, std::size_t size) {
    std::size_t start = 0;
    // ID3v2 tags, possibly several.
    while (start + 10 <= size && std::memcmp(data + start, "ID3", 3) == 0) {
        const unsigned char* t = data + start;
        if ((t[6] | t[7] | t[8] | t[9]) & 0x80) return false;
        std::size_t tagSize = (std::size_t(t[6]) << 21) | (std::size_t(t[7]) << 14) |
                              (std::size_t(t[8]) << 7) | std::size_t(t[9]);
        start += 10 + tagSize + ((t[5] & 0x10) ? 10 : 0);
    }
    const std::size_t kSearch = 65536;   // junk allowed before the first frame
    const int kChain = 3;
    for (std::size_t at = start; at + 4 <= size && at < start + kSearch; ++at) {
        MpegHeader first;
        if (!ParseMpegHeader(data + at, &first)) continue;
        std::size_t pos = at + first.frameBytes;
        int chained = 1;
        while (chained < kChain) {
            if (pos == size) break;   // a short file may end right after its frames
            MpegHeader next;
            if (pos + 4 > size || !ParseMpegHeader(data + pos, &next) || next.version != first.version ||
                next.layer != first.layer || next.sampleRate != first.sampleRate)
                break;
            pos += next.frameBytes;
            ++chained;
        }
        if (chained >= kChain || (pos == size && chained >= 2)) return true;
    }
    return false;
}

namespace {

// ---- libsndfile ----

class SndfileDecoder final : public AudioDecoder {
public:
    SndfileDecoder(SNDFILE* file, int fd, const SF_INFO& info) : file_(file), fd_(fd) {
        channels_ = info.channels;
        rate_ = static_cast<std::uint32_t>(info.samplerate);
        length_ = static_cast<std::uint64_t>(info.frames);
        kind_ = "sndfile";
    }
    ~SndfileDecoder() override {
        sf_close(file_);
        ::close(fd_);
    }

protected:
    std::size_t readRaw(std::int16_t* out, std::size_t frames) override {
        sf_count_t n = sf_readf_short(file_, out, static_cast<sf_count_t>(frames));
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    bool seekRaw(std::uint64_t frame) override {
        return sf_seek(file_, static_cast<sf_count_t>(frame), SEEK_SET) == static_cast<sf_count_t>(frame);
    }

private:
    SNDFILE* file_;
    int fd_;
};

// ---- libmpg123 ----

void InitMpg123Once() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

// libmpg123 reads its own file a frame header at a time, a system call each; through a
// buffered stream the two passes over a 4-minute file at open take 3 ms instead of 66.
mpg123_ssize_t ReadBuffered(void* file, void* into, std::size_t bytes) {
    auto* f = static_cast<std::FILE*>(file);
    std::size_t n = std::fread(into, 1, bytes, f);
    if (n == 0 && std::ferror(f)) return -1;
    return static_cast<mpg123_ssize_t>(n);
}
off_t SeekBuffered(void* file, off_t at, int whence) {
    auto* f = static_cast<std::FILE*>(file);
    if (fseeko(f, at, whence) != 0) return -1;
    return ftello(f);
}

class Mpg123Decoder final : public AudioDecoder {
public:
    explicit Mpg123Decoder(mpg123_handle* h) : h_(h) { kind_ = "mpg123"; }
    ~Mpg123Decoder() override {
        mpg123_close(h_);
        mpg123_delete(h_);
        if (file_) std::fclose(file_);
    }
    bool start(const std::string& path) {
        mpg123_param(h_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
        // Frames decoded before a seek target: the layer III bit reservoir reaches up to 511
        // bytes back, several small frames; too few and the first frames after a seek are silent.
        mpg123_param(h_, MPG123_PREFRAMES, 16, 0);
        mpg123_format_none(h_);
        const long* rates = nullptr;
        std::size_t count = 0;
        mpg123_rates(&rates, &count);
        for (std::size_t i = 0; i < count; ++i)
            mpg123_format(h_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        file_ = OpenRegularStream(path);
        if (!file_) return false;
        std::setvbuf(file_, nullptr, _IOFBF, 64 * 1024);
        if (mpg123_replace_reader_handle(h_, ReadBuffered, SeekBuffered, nullptr) != MPG123_OK ||
            mpg123_open_handle(h_, file_) != MPG123_OK)
            return false;
        if (!oneSampleRate()) return false;
        if (mpg123_scan(h_) != MPG123_OK) return false;   // exact length and seek index
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(h_, &rate, &channels, &encoding) != MPG123_OK) return false;
        if (encoding != MPG123_ENC_SIGNED_16 || channels < 1 || rate <= 0) return false;
        mpg123_format_none(h_);   // keep this format for the whole file
        mpg123_format(h_, rate, channels, MPG123_ENC_SIGNED_16);
        off_t length = mpg123_length(h_);
        // A file cut short has lost the frames its gapless header counts, and libmpg123 then
        // drops the trim of the encoder's delay at the start as well: every position would be
        // that much (25 ms) late against the intact file. Trim it here instead.
        long delay = -1;
        mpg123_getstate(h_, MPG123_ENC_DELAY, &delay, nullptr);
        const off_t frames = mpg123_framelength(h_);
        const int spf = mpg123_spf(h_);
        if (delay > 0 && frames > 0 && spf > 0 && length == frames * spf) skip_ = delay + kDecoderDelay;
        length -= skip_;
        if (length <= 0) return false;
        channels_ = channels;
        rate_ = static_cast<std::uint32_t>(rate);
        length_ = static_cast<std::uint64_t>(length);
        return mpg123_seek(h_, skip_, SEEK_SET) == skip_;
    }

protected:
    // A stream whose rate changes part-way would be resampled by libmpg123 while its length and
    // seeks count the frames' own samples, so it would end early: such a file is refused.
    bool oneSampleRate() {
        long first = 0;
        while (true) {
            int r = mpg123_framebyframe_next(h_);
            if (r != MPG123_OK && r != MPG123_NEW_FORMAT) break;
            mpg123_frameinfo2 info{};
            if (mpg123_info2(h_, &info) != MPG123_OK) continue;
            if (first == 0) first = info.rate;
            else if (info.rate != first) return false;
        }
        return true;
    }
    std::size_t readRaw(std::int16_t* out, std::size_t frames) override {
        std::size_t frameBytes = 2 * static_cast<std::size_t>(channels_);
        std::size_t want = frames * frameBytes;
        std::size_t got = 0;
        while (got < want) {
            std::size_t done = 0;
            int r = mpg123_read(h_, reinterpret_cast<unsigned char*>(out) + got, want - got, &done);
            got += done;
            if (r == MPG123_NEW_FORMAT) continue;
            if (r != MPG123_OK || done == 0) break;
        }
        return got / frameBytes;
    }
    bool seekRaw(std::uint64_t frame) override {
        const off_t at = static_cast<off_t>(frame) + skip_;
        return mpg123_seek(h_, at, SEEK_SET) == at;
    }

private:
    static constexpr off_t kDecoderDelay = 529;   // samples of layer III synthesis delay
    mpg123_handle* h_;
    std::FILE* file_ = nullptr;
    off_t skip_ = 0;   // leading samples trimmed here rather than by libmpg123
};

// ---- libvorbisfile: Ogg Vorbis that libsndfile refuses (a file cut short) ----

class VorbisDecoder final : public AudioDecoder {
public:
    VorbisDecoder() { kind_ = "vorbisfile"; }
    ~VorbisDecoder() override {
        if (open_) ov_clear(&file_);
    }
    bool start(const std::string& path) {
        std::FILE* f = OpenRegularStream(path);
        if (!f) return false;
        if (ov_open(f, &file_, nullptr, 0) != 0) {   // a failed open leaves the stream ours
            std::fclose(f);
            return false;
        }
        open_ = true;
        vorbis_info* info = ov_info(&file_, -1);
        ogg_int64_t total = ov_pcm_total(&file_, -1);
        if (!info || info->channels < 1 || info->rate <= 0 || total <= 0) return false;
        channels_ = info->channels;
        rate_ = static_cast<std::uint32_t>(info->rate);
        length_ = static_cast<std::uint64_t>(total);
        return true;
    }

protected:
    std::size_t readRaw(std::int16_t* out, std::size_t frames) override {
        const std::size_t frameBytes = 2 * static_cast<std::size_t>(channels_);
        char* dst = reinterpret_cast<char*>(out);
        std::size_t want = frames * frameBytes, got = 0;
        int holes = 0;
        while (got < want) {
            int link = 0;
            long n = ov_read(&file_, dst + got, static_cast<int>(std::min<std::size_t>(want - got, 1 << 16)), 0, 2, 1,
                             &link);
            if (n == OV_HOLE && ++holes < 64) continue;   // a gap in the data: go on after it
            if (n <= 0) break;
            // A chained link with another layout would be read as noise: the data ends there.
            vorbis_info* info = ov_info(&file_, link);
            if (!info || info->channels != channels_ || static_cast<std::uint32_t>(info->rate) != rate_) break;
            got += static_cast<std::size_t>(n);
        }
        return got / frameBytes;
    }
    bool seekRaw(std::uint64_t frame) override {
        return ov_pcm_seek(&file_, static_cast<ogg_int64_t>(frame)) == 0;
    }

private:
    OggVorbis_File file_{};
    bool open_ = false;
};

// ---- libopenmpt ----

class ModuleDecoder final : public AudioDecoder {
public:
    ModuleDecoder(openmpt_module* mod, std::uint32_t rate, double seconds) : mod_(mod) {
        channels_ = 2;
        rate_ = rate;
        length_ = static_cast<std::uint64_t>(std::llround(seconds * rate));
        kind_ = "openmpt";
        padToLength_ = true;   // the length is the module's duration, rendering may end a little early
    }
    ~ModuleDecoder() override { openmpt_module_destroy(mod_); }

protected:
    std::size_t readRaw(std::int16_t* out, std::size_t frames) override {
        return openmpt_module_read_interleaved_stereo(mod_, static_cast<std::int32_t>(rate_), frames, out);
    }
    bool seekRaw(std::uint64_t frame) override {
        openmpt_module_set_position_seconds(mod_, static_cast<double>(frame) / rate_);
        return true;
    }

private:
    openmpt_module* mod_;
};

bool IsModule(const std::vector<unsigned char>& head, std::uint64_t fileSize) {
    int r = openmpt_probe_file_header(OPENMPT_PROBE_FILE_HEADER_FLAGS_DEFAULT, head.data(), head.size(), fileSize,
                                      openmpt_log_func_silent, nullptr, openmpt_error_func_ignore, nullptr,
                                      nullptr, nullptr);
    return r == OPENMPT_PROBE_FILE_HEADER_RESULT_SUCCESS;
}

}  // namespace

namespace {

std::unique_ptr<AudioDecoder> OpenStreamOnce(const std::string& path, int* error) {
    bool opened = false;
    std::uint64_t fileSize = 0;
    std::vector<unsigned char> head = ReadHead(path, 256 * 1024, &fileSize, &opened);
    if (!opened) {
        *error = kAudioErrorFileOpen;
        return nullptr;
    }
    *error = kAudioErrorFormat;
    if (head.empty()) return nullptr;

    // libsndfile recognises its formats by their headers; MPEG audio goes to libmpg123.
    // Opened by descriptor, so libsndfile judges the bytes and not the name's extension.
    SF_INFO info{};
    int fd = -1;
    OpenRegularFile(path, fd);
    SNDFILE* file = fd >= 0 ? sf_open_fd(fd, SFM_READ, &info, 0) : nullptr;
    if (file) {
        bool mpeg = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG;
        if (!mpeg && info.channels >= 1 && info.samplerate > 0 && info.frames > 0 && info.frames < SF_COUNT_MAX) {
            *error = kAudioOk;
            return std::make_unique<SndfileDecoder>(file, fd, info);
        }
        sf_close(file);
    }
    if (fd >= 0) ::close(fd);
    if (head.size() >= 4 && std::memcmp(head.data(), "OggS", 4) == 0) {
        auto vorbis = std::make_unique<VorbisDecoder>();
        if (!vorbis->start(path)) return nullptr;
        *error = kAudioOk;
        return vorbis;
    }
    // A module is not a stream, whatever bytes it happens to hold.
    if (IsModule(head, fileSize)) return nullptr;
    if (!LooksLikeMpegAudio(head.data(), head.size())) return nullptr;
    InitMpg123Once();
    int err = 0;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    if (!h) {
        *error = kAudioErrorMemory;
        return nullptr;
    }
    auto decoder = std::make_unique<Mpg123Decoder>(h);
    if (!decoder->start(path)) return nullptr;
    *error = kAudioOk;
    return decoder;
}

std::uint64_t ReadToEnd(AudioDecoder& dec) {
    std::vector<std::int16_t> buf(4096 * static_cast<std::size_t>(dec.channels()));
    while (dec.read(buf.data(), 4096) > 0) {
    }
    return dec.position();
}

}  // namespace

std::unique_ptr<AudioDecoder> OpenStreamDecoder(const std::string& path, int* error) {
    std::unique_ptr<AudioDecoder> dec = OpenStreamOnce(path, error);
    if (!dec) return nullptr;
    // A file cut short may claim more than it holds (a FLAC header's length, a frame count):
    // decode its last seconds, or all of it when seeking there fails, and keep what decodes.
    const std::uint64_t claimed = dec->lengthFrames();
    const std::uint64_t tail = std::min<std::uint64_t>(claimed, 2ull * dec->rate());
    std::uint64_t decodable = 0;
    if (dec->seek(claimed - tail)) {
        decodable = ReadToEnd(*dec);
    } else if (auto counter = OpenStreamOnce(path, error)) {
        decodable = ReadToEnd(*counter);
    }
    if (decodable == claimed && dec->seek(0)) return dec;
    // A decoder that met the damage may not seek again: start afresh.
    dec = OpenStreamOnce(path, error);
    if (!dec || decodable == 0) {
        *error = kAudioErrorFormat;
        return nullptr;
    }
    dec->limitLength(decodable);
    *error = kAudioOk;
    return dec;
}

std::unique_ptr<AudioDecoder> OpenModuleDecoder(const std::string& path, std::uint32_t rate, int* error) {
    bool opened = false;
    std::uint64_t fileSize = 0;
    const std::uint64_t kMaxModule = 512ull * 1024 * 1024;
    std::vector<unsigned char> head = ReadHead(path, 64 * 1024, &fileSize, &opened);
    if (!opened) {
        *error = kAudioErrorFileOpen;
        return nullptr;
    }
    *error = kAudioErrorFormat;
    if (head.empty() || fileSize > kMaxModule || !IsModule(head, fileSize)) return nullptr;
    std::vector<unsigned char> data = ReadHead(path, static_cast<std::size_t>(fileSize), &fileSize, &opened);
    if (!opened) {
        *error = kAudioErrorFileOpen;
        return nullptr;
    }
    openmpt_module* mod = openmpt_module_create_from_memory2(data.data(), data.size(), openmpt_log_func_silent,
                                                             nullptr, openmpt_error_func_ignore, nullptr, nullptr,
                                                             nullptr, nullptr);
    if (!mod) return nullptr;
    openmpt_module_set_repeat_count(mod, 0);
    double seconds = openmpt_module_get_duration_seconds(mod);
    if (!(seconds > 0.0) || !std::isfinite(seconds)) {
        openmpt_module_destroy(mod);
        return nullptr;
    }
    *error = kAudioOk;
    return std::make_unique<ModuleDecoder>(mod, rate, seconds);
}

}  // namespace spirelo
