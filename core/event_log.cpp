#include "core/event_log.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <vector>

#include "common/file_io.h"
#include "common/text_codec.h"
#include "core/text_routines.h"
#include "platform/program_paths.h"

namespace spirelo {

LocalTime NowLocal() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string LogFilePath() { return StripExt(BesideProgramPath()) + ".Log"; }

namespace {
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        pos = end + 1;
    }
    return lines;
}
}  // namespace

// The keys hold "=" themselves ("Who=... Where=..."), which a key/value ini reader would split
// at the first "=", merging every entry of a second into one; so the log is edited as lines.
void WriteLog(const std::string& Who, const std::string& Where, const std::string& Info,
              const LocalTime& now) {
    const std::string section = "DataTime=" + std::to_string(now.day) + "." + std::to_string(now.month) +
                                "." + std::to_string(now.year) + " г." + std::to_string(now.hour) + "h. " +
                                std::to_string(now.minute) + " min. " + std::to_string(now.second) + " sec";
    const std::string key = "Who=" + Who + " Where=" + Where;
    const std::string entry = key + "= Info=" + Info;
    const std::string path = LogFilePath();

    // Never overwrite a log we could not read, nor a pipe or device in its place. Each entry
    // rewrites the whole log, so one past its bound is left as it is; the terminal hears of it once.
    std::string text;
    if (IoResult r = ReadBoundedFile(path, kMaxEventLogBytes, text); !r && r.error != ENOENT) {
        static bool told = false;
        if (IsUnfitFile(r) && !told) {
            told = true;
            std::fprintf(stderr, "event log %s not written: %s\n", path.c_str(), r.message.c_str());
        }
        return;
    }
    std::vector<std::string> lines = SplitLines(TextFileToUtf8(text));

    const std::string header = "[" + section + "]";
    size_t h = 0;
    while (h < lines.size() && lines[h] != header) ++h;
    if (h == lines.size()) {
        if (!lines.empty() && !lines.back().empty()) lines.emplace_back();
        lines.push_back(header);
        lines.push_back(entry);
    } else {
        size_t insertAt = h + 1;
        bool replaced = false;
        for (size_t j = h + 1; j < lines.size() && (lines[j].empty() || lines[j][0] != '['); ++j) {
            if (lines[j].compare(0, key.size() + 1, key + "=") == 0) {
                lines[j] = entry;
                replaced = true;
                break;
            }
            if (!lines[j].empty()) insertAt = j + 1;
        }
        if (!replaced) lines.insert(lines.begin() + static_cast<long>(insertAt), entry);
    }

    std::string out;
    for (const auto& l : lines) out += l + "\n";
    WriteFileAtomic(path, out);   // the log reports no failure of its own
}

}  // namespace spirelo
