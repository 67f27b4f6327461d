#include "visualiser/layout_file.h"

#include "common/text_codec.h"
#include "visualiser/visualiser_state.h"

#include <bit>
#include <cerrno>
#include <cstring>

namespace spirelo {

static_assert(std::endian::native == std::endian::little,
              "the layout file stores its numbers little-endian, as memory does here");

namespace {

// Calls f(pointer, bytes) for each of the 54 blocks in file order. Numeric arrays give their
// first 100 slots; the name and text records give the first bytes of their packed arrays.
template <typename Table, typename F>
void ForEachBlock(Table& t, F&& f) {
    constexpr size_t kSlots = 100;
    auto single = [&](auto& a) { f(&a[0], kSlots * sizeof(float)); };
    auto byte = [&](auto& a) { f(&a[0], kSlots); };
    auto word = [&](auto& a) { f(&a[0], kSlots * sizeof(uint16_t)); };
    single(t.Y);
    single(t.X);
    single(t.Z);
    single(t.RotatAll);
    single(t.RotatJet);
    single(t.Size);
    single(t.High);
    single(t.Naklon);
    single(t.ReservedSingle1);
    byte(t.LengJet);
    byte(t.Kolvo);
    byte(t.Nozzle);
    byte(t.Kind);
    byte(t.ReservedByte1);
    byte(t.SpotGroups);
    byte(t.ReservedByte2);
    byte(t.ReservedByte3);
    word(t.PumpDmx);
    word(t.ValveDmx);
    word(t.SpotDmx);
    word(t.SkewDmx);
    byte(t.Proporcia);
    byte(t.Min);
    byte(t.Max);
    single(t.TourViewerX);
    single(t.TourViewerY);
    for (auto& a : t.ReservedSingles) single(a);
    word(t.TourRotX);
    word(t.TourRotY);
    word(t.TourRotZ);
    word(t.ReservedWords1);
    for (auto& a : t.ReservedWords) word(a);
    byte(t.ReservedByte4);
    byte(t.TourZoom);
    for (auto& a : t.ReservedBytes) byte(a);
    f(&t.Name[0][0], 1600);
    f(&t.Text1[0][0], 25600);
    f(&t.Text2[0][0], 25600);
}

std::string CrLf() { return std::string("\r\n"); }

}  // namespace

std::vector<uint8_t> SerializeLayout(const CollectorTable& t) {
    BlockWriter w(kLayoutFileSize);
    ForEachBlock(t, [&](const void* p, size_t n) { w.put(p, n); });
    return w.take();
}

bool DeserializeLayout(const uint8_t* data, size_t size, CollectorTable& t) {
    if (size != kLayoutFileSize) return false;
    BlockReader r(data, size);
    ForEachBlock(t, [&](void* p, size_t n) { r.get(p, n); });
    return true;
}

LayoutLoadResult LoadLayoutFile(const std::string& path, CollectorTable& t) {
    LayoutLoadResult res;
    // One open both checks and reads: a file of another size is never read into memory, however
    // large, and one that grows after the check is read no further than the check saw.
    std::vector<uint8_t> bytes;
    if (IoResult io = ReadBoundedFile(path, kLayoutFileSize, bytes); !io) {
        res.caption = kCaptionNotLoaded;
        if (io.error == EFBIG) {
            res.status = LayoutLoad::WrongSize;
        } else if (io.error == ENOENT || io.error == ENOTDIR || io.error == EISDIR || io.error == EINVAL ||
                   !FolderRefusal(path).empty()) {
            // Only a regular file is a layout file.
            res.status = LayoutLoad::Missing;
            res.message = "Файл " + CrLf() + path + CrLf() + "не найден ";
        } else {
            res.status = LayoutLoad::ReadError;
            res.message = "Ошибка ввода-вывода: " + path + CrLf() + io.message;
        }
        return res;
    }
    if (!DeserializeLayout(bytes.data(), bytes.size(), t)) {
        res.status = LayoutLoad::WrongSize;
        res.caption = kCaptionNotLoaded;
        return res;
    }
    res.status = LayoutLoad::Loaded;
    res.caption = "3D визуализация фонтанов (64600)File: " + path;
    return res;
}

LayoutSaveResult SaveLayoutFile(const std::string& path, const CollectorTable& t) {
    LayoutSaveResult res;
    std::vector<uint8_t> bytes = SerializeLayout(t);
    res.io = WriteFileAtomic(path, bytes.data(), bytes.size());
    if (res.io) res.caption = "3D визуализация фонтанов File: " + path;
    return res;
}

std::string LayoutStem(const std::string& path) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
    return path.substr(0, dot);
}

std::string LayoutNotesPath(const std::string& path) { return LayoutStem(path) + ".txT"; }
std::string LayoutReportPath(const std::string& path) { return LayoutStem(path) + ".txR"; }

bool NotesWithoutLayout(const std::string& layoutPath, const std::string& notes) {
    return layoutPath == kNoLayoutFile && !notes.empty();
}

std::string KeptNotesPath(const std::string& settingsPath, const std::tm& when, int taken) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, " notes %Y-%m-%d %H-%M-%S", &when);
    std::string path = LayoutStem(settingsPath) + stamp;
    if (taken > 0) path += " (" + std::to_string(taken + 1) + ")";
    return path + ".txt";
}

IoResult ReadTextCompanion(const std::string& path, std::string& text) {
    std::string raw;
    if (IoResult r = ReadBoundedFile(path, kMaxTextCompanionBytes, raw); !r) return r;
    std::string utf8 = TextFileToUtf8(raw);
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r') {
            out += '\n';
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        } else {
            out += utf8[i];
        }
    }
    // A trailing line end belongs to the last line, not to an extra empty one.
    if (!out.empty() && out.back() == '\n') out.pop_back();
    text = std::move(out);
    return {};
}

IoResult WriteTextCompanion(const std::string& path, const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    for (char ch : text) {
        if (ch == '\r') continue;
        if (ch == '\n') out += CrLf();
        else out += ch;
    }
    if (!text.empty()) out += CrLf();
    return WriteFileAtomic(path, out);
}

}  // namespace spirelo
