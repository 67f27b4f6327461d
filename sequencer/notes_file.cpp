#include "sequencer/notes_file.h"

#include "common/text_codec.h"
#include "core/text_routines.h"

#include <vector>

namespace spirelo {

std::string NotesFileName(const std::string& seqFile) { return StripExt(seqFile) + ".txt"; }

std::string NotesToFileText(std::string_view memo) {
    std::string out;
    if (memo.empty()) return out;
    out.reserve(memo.size() + memo.size() / 16 + 2);
    size_t start = 0;
    while (true) {
        const size_t nl = memo.find('\n', start);
        std::string_view line = memo.substr(start, nl == std::string_view::npos ? memo.npos : nl - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out.append(line);
        out += "\r\n";
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    return out;
}

std::string NotesFromFileText(std::string_view bytes) {
    const std::string text = TextFileToUtf8(bytes);
    std::string memo;
    memo.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (i + 1 < text.size()) memo += '\n';   // a final line end starts no new line
        } else {
            memo += ch;
        }
    }
    return memo;
}

IoResult LoadNotesFile(const std::string& path, std::string& memo) {
    std::string bytes;
    if (IoResult r = ReadBoundedFile(path, kMaxNotesFileBytes, bytes); !r) return r;
    memo = NotesFromFileText(bytes);
    return {};
}

IoResult SaveNotesFile(const std::string& path, std::string_view memo) {
    return WriteFileAtomic(path, NotesToFileText(memo));
}

}  // namespace spirelo
