#include "playback/play_lists.h"

#include "common/text_codec.h"

#include <cerrno>
#include <string_view>

namespace spirelo {

IoResult ReadPathList(const std::string& path, std::vector<std::string>& out) {
    out.clear();
    std::string bytes;
    if (IoResult r = ReadBoundedFile(path, kMaxPathListBytes, bytes); !r) return r;
    ParsePathList(bytes, out);
    return {};
}

void ParsePathList(const std::string& bytes, std::vector<std::string>& out) {
    out.clear();
    // Neither code page has a line end inside a character, so the bytes split before decoding.
    const std::string_view text = WithoutByteOrderMark(bytes);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        if (end > start) out.push_back(LineToUtf8(text.substr(start, end - start)));
        start = end + 1;
    }
}

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
}

std::string PathListText(const std::vector<std::string>& items) {
    std::string text;
    if (!items.empty() && items.front().starts_with(kByteOrderMark)) text += kByteOrderMark;
    for (const std::string& item : items) text.append(item).append("\r\n");
    return text;
}

bool FitsPathList(const std::string& path) { return path.find_first_of("\r\n") == std::string::npos; }

std::string PathsNotAddedText(const std::vector<std::string>& paths) {
    std::string text = "Not added to the list: a file name holding a line end would read back as two entries.";
    for (const std::string& p : paths) text.append("\r\n").append(p);
    return text;
}

IoResult WritePathList(const std::string& path, const std::vector<std::string>& items) {
    for (const std::string& item : items)
        if (!FitsPathList(item)) return IoResult{false, EINVAL, "An entry of the list holds a line end"};
    return WriteFileAtomic(path, PathListText(items));
}

int ShowListIndex(int index, int count) {
    if (count < 1) return 0;
    if (index > count || index < 0) return 0;
    if (index == count) return count - 1;
    return index;
}

int MusicListIndex(int index, int count) { return index < 0 || index >= count ? 0 : index; }

int NextIndex(int index, int count) { return index >= 0 && index <= count - 2 ? index + 1 : 0; }

int PrevIndex(int index, int) { return index >= 1 ? index - 1 : 0; }

int DropMove(std::vector<std::string>& items, int current, int target) {
    const int count = int(items.size());
    if (current < 0 || current >= count) return current;
    if (target >= count) target = -1;
    if (target > current) --target;
    std::string taken = std::move(items[size_t(current)]);
    items.erase(items.begin() + current);
    if (target < 0) {
        items.push_back(std::move(taken));
        return count - 1;
    }
    items.insert(items.begin() + target, std::move(taken));
    return target;
}

uint16_t MusicVolumeWord(int mainVolume, int barVolume) {
    return uint16_t(uint32_t(int64_t(mainVolume) * barVolume) & 0xFFFFu);
}

std::string MusicVolumeText(int barVolume) { return "Volume " + std::to_string(barVolume) + "%"; }

std::string MainMusicVolumeCaption(int mainVolume) {
    return "Громкость " + std::to_string(mainVolume * 100 / 640) + "%";
}

std::string NewFountainVolumeCaption(int volume) { return "Громкость " + std::to_string(volume) + "%"; }

int64_t ToFinishPositionMs(int64_t lengthMs) { return lengthMs > 10000 ? lengthMs - 10000 : 0; }

}  // namespace spirelo
