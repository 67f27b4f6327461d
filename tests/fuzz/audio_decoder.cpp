// The audio decoders from any bytes, through a file in memory (no disk): an opened stream
// reads no more frames than its length, seeks within it and refuses to seek beyond it.
#include "platform/audio_decoder.h"
#include "fuzz_input.h"

#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace spirelo;

namespace {
void Exercise(AudioDecoder& dec) {
    fuzz::Check(dec.channels() >= 1 && dec.rate() > 0, "an opened decoder has no channels or rate");
    std::vector<int16_t> buf(4096 * size_t(std::min(dec.channels(), 64)));
    const size_t frames = buf.size() / size_t(dec.channels());
    uint64_t total = 0;
    for (int i = 0; i < 64 && dec.channels() <= 64; ++i) {
        const size_t n = dec.read(buf.data(), frames);
        fuzz::Check(n <= frames, "a read gave more frames than asked for");
        total += n;
        if (n == 0) break;
    }
    fuzz::Check(dec.position() <= dec.lengthFrames(), "reading went past the length");
    fuzz::Check(!dec.seek(dec.lengthFrames() + 1), "a seek beyond the length was taken");
    if (dec.lengthFrames() > 0 && dec.seek(dec.lengthFrames() / 2))
        fuzz::Check(dec.position() == dec.lengthFrames() / 2, "a seek did not land on its frame");
    (void)total;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = ::memfd_create("fuzz-audio", MFD_CLOEXEC);
    if (fd < 0) return 0;
    if (::write(fd, data, size) != static_cast<ssize_t>(size)) {
        ::close(fd);
        return 0;
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    int error = 0;
    if (auto dec = OpenStreamDecoder(path, &error)) Exercise(*dec);
    if (auto dec = OpenModuleDecoder(path, 44100, &error)) Exercise(*dec);
    ::close(fd);
    return 0;
}
