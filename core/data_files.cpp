#include "core/data_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "core/event_log.h"
#include "core/text_routines.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"

namespace spirelo {

std::string ProgramStem() { return StripExt(BesideProgramPath()); }

IoResult ReadBlockFile(const std::string& path, FileBytes& out, bool (*knownSize)(size_t)) {
    thread_local std::unique_ptr<uint8_t[]> buffer;
    thread_local size_t capacity = 0;
    out = {};
    auto fail = [](int e) { return IoResult{false, e, std::strerror(e)}; };

    int fd = -1;
    struct stat st{};
    if (IoResult r = OpenRegularFile(path, fd, &st); !r) return r;
    const size_t size = static_cast<size_t>(st.st_size);
    if (!knownSize(size)) {
        ::close(fd);
        out = {nullptr, size};
        return {};
    }
    if (size > capacity) {
        buffer.reset(new uint8_t[size]);   // not value-initialised: the read fills it
        capacity = size;
    }
    size_t got = 0;
    while (got < size) {
        ssize_t n = ::read(fd, buffer.get() + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {   // an error, or the file ended before its size: not the whole file
            int e = n < 0 ? errno : EIO;
            ::close(fd);
            return fail(e);
        }
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    out = {buffer.get(), size};
    return {};
}

FileLoad OpenShowBlockFile(const std::string& name, const std::string& defaultName, const std::string* keepName,
                           const BlockFileKind& kind, std::string& nameField, FileBytes& bytes) {
    if (!FileExists(name)) {
        WriteLog("ReadSave", kind.logProcedure, kind.missingLogText);
        nameField = defaultName;
        return FileLoad::Missing;
    }
    const std::string nameOnFailure = keepName ? *keepName : defaultName;
    if (IoResult r = ReadBlockFile(name, bytes, kind.knownSize); !r) {
        nameField = nameOnFailure;
        ReportReadFailure(name, r);
        return FileLoad::ReadError;
    }
    const size_t size = bytes.size;
    const char* oldText = size == kind.currentSize ? nullptr : kind.oldLayoutMessage(size);
    if (!bytes.data) {
        nameField = nameOnFailure;
        WriteLog("ReadSave", kind.logProcedure, "Unknown_file_size " + name + " Leng=" + std::to_string(size));
        Messages().message(TwoLines(kind.unknownSizeText, name + " Leng=" + std::to_string(size)));
        return FileLoad::UnknownSize;
    }
    nameField = name;
    if (oldText) Messages().message(oldText);
    return oldText ? FileLoad::OldLayout : FileLoad::Loaded;
}

void ReportReadFailure(const std::string& path, const IoResult& r) {
    Messages().error(TwoLines("Ошибка чтения файла " + path, r.message));
}

void ReportWriteFailure(const std::string& path, const IoResult& r) {
    Messages().error(TwoLines("Ошибка записи файла " + path, FailedSaveText(r)));
}

namespace {
constexpr uint64_t kDigestPrime = 0x9E3779B97F4A7C15ull;
// Per word: a bijection of the lane for a given word and of the word for a given lane, so one
// changed word always changes the digest.
inline uint64_t DigestStep(uint64_t h, uint64_t w) { return (h ^ w) * kDigestPrime; }
inline uint64_t DigestMix(uint64_t h, uint64_t w) {
    h = (h ^ w) * kDigestPrime;
    return h ^ (h >> 29);
}
}  // namespace

void ContentDigest::add(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    // Eight lanes, so the multiplications of a 7 MB show overlap instead of chaining.
    constexpr size_t kLanes = std::extent_v<decltype(lane_)>;
    uint64_t w[kLanes];
    size_t i = 0;
    for (; i + sizeof w <= size; i += sizeof w) {
        std::memcpy(w, p + i, sizeof w);
        for (size_t k = 0; k < kLanes; ++k) lane_[k] = DigestStep(lane_[k], w[k]);
    }
    for (; i + 8 <= size; i += 8) {
        std::memcpy(w, p + i, 8);
        lane_[0] = DigestMix(lane_[0], w[0]);
    }
    uint64_t tail = 0;
    std::memcpy(&tail, p + i, size - i);
    // The block's length goes in too, so bytes moving between blocks change the digest.
    lane_[1] = DigestMix(lane_[1], tail ^ (uint64_t(size) << 3));
}

void ContentDigest::addNames(const uint8_t* names, size_t size) {
    uint8_t chunk[1024];
    for (size_t done = 0; done < size; done += sizeof chunk) {
        const size_t n = std::min(sizeof chunk, size - done);
        for (size_t i = 0; i < n; ++i) chunk[i] = names[done + i] < 33 ? ' ' : names[done + i];
        add(chunk, n);
    }
}

uint64_t ContentDigest::value() const {
    uint64_t h = 0;
    for (uint64_t l : lane_) h = DigestMix(h, l);
    return h;
}

}  // namespace spirelo
