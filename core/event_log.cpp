#include "core/event_log.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "common/file_io.h"
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

// Whether the last line of text (as SplitLines cuts it) is empty; text is not empty.
bool LastLineEmpty(const std::string& text) {
    size_t end = text.size();
    if (text[end - 1] == '\n') --end;
    size_t start = 0;
    if (end > 0) {
        const size_t nl = text.rfind('\n', end - 1);
        if (nl != std::string::npos) start = nl + 1;
    }
    if (end > start && text[end - 1] == '\r') --end;
    return end == start;
}

void TellOnce(bool& told, const std::string& text) {
    if (told) return;
    told = true;
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool ReadAt(int fd, off_t at, char* buf, size_t n) {
    size_t got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd, buf + got, n - got, at + static_cast<off_t>(got));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        got += static_cast<size_t>(r);
    }
    return true;
}

bool WriteAt(int fd, off_t at, const std::string& bytes) {
    size_t put = 0;
    while (put < bytes.size()) {
        const ssize_t r = ::pwrite(fd, bytes.data() + put, bytes.size() - put, at + static_cast<off_t>(put));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        put += static_cast<size_t>(r);
    }
    return true;
}

// The log opened for reading and writing, made when missing; -1 when it may not be written.
// Only a regular file is: a link in its place is not followed and a pipe or device is never
// opened, so nothing is written through them and nothing waits on them.
int OpenLog(const std::string& path, struct stat& st) {
    static bool told = false;
    const auto refuse = [&](const char* why) {
        TellOnce(told, "event log " + path + " not written: " + why);
        return -1;
    };
    struct stat there{};
    if (::lstat(path.c_str(), &there) == 0 && !S_ISREG(there.st_mode))
        return refuse(S_ISLNK(there.st_mode) ? "a symbolic link is in its place" : "not a regular file");
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return errno == ELOOP ? refuse("a symbolic link is in its place") : -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return refuse("not a regular file");
    }
    return fd;
}

// The entry goes into its second's section where the log holds one, else into a new section at
// the end. Only the part from that section on is rewritten; a new second's entry is appended.
void PutEntry(int fd, off_t size, const std::string& header, const std::string& key, const std::string& entry) {
    const size_t span = std::min(static_cast<size_t>(size), kEventLogRollBytes);
    const off_t from = size - static_cast<off_t>(span);
    std::string text(span, '\0');
    if (!ReadAt(fd, from, text.data(), span)) return;   // never write over a log we could not read

    size_t at = std::string::npos;
    for (size_t p = text.find(header); p != std::string::npos; p = text.find(header, p + 1)) {
        const bool lineStart = p == 0 ? from == 0 : text[p - 1] == '\n';
        const size_t e = p + header.size();
        const bool lineEnd = e == text.size() || text[e] == '\n' ||
                             (text[e] == '\r' && (e + 1 == text.size() || text[e + 1] == '\n'));
        if (lineStart && lineEnd) {
            at = p;
            break;
        }
    }
    if (at == std::string::npos) {
        std::string add;
        if (!text.empty()) {
            if (text.back() != '\n') add += '\n';
            if (!LastLineEmpty(text)) add += '\n';   // a blank line between sections
        }
        add += header + "\n" + entry + "\n";
        WriteAt(fd, size, add);
        return;
    }

    std::vector<std::string> lines = SplitLines(text.substr(at));
    size_t insertAt = 1;
    bool replaced = false;
    for (size_t j = 1; j < lines.size() && (lines[j].empty() || lines[j][0] != '['); ++j) {
        if (lines[j].compare(0, key.size() + 1, key + "=") == 0) {
            lines[j] = entry;
            replaced = true;
            break;
        }
        if (!lines[j].empty()) insertAt = j + 1;
    }
    if (!replaced) lines.insert(lines.begin() + static_cast<long>(insertAt), entry);
    std::string out;
    for (const auto& l : lines) out += l + "\n";
    const off_t start = from + static_cast<off_t>(at);
    if (WriteAt(fd, start, out) && start + static_cast<off_t>(out.size()) < size)
        (void)::ftruncate(fd, start + static_cast<off_t>(out.size()));
}
}  // namespace

// The keys hold "=" themselves ("Who=... Where=..."), which a key/value ini reader would split
// at the first "=", merging every entry of a second into one; so the log is edited as lines.
// It is written in place, not saved whole: a show can log for years, and an entry runs on the
// window thread between two show ticks. Nor is it synced: a slow disk would stall the show.
void WriteLog(const std::string& Who, const std::string& Where, const std::string& Info,
              const LocalTime& now) {
    const std::string section = "DataTime=" + std::to_string(now.day) + "." + std::to_string(now.month) +
                                "." + std::to_string(now.year) + " г." + std::to_string(now.hour) + "h. " +
                                std::to_string(now.minute) + " min. " + std::to_string(now.second) + " sec";
    const std::string key = "Who=" + Who + " Where=" + Where;
    const std::string entry = key + "= Info=" + Info;
    const std::string path = LogFilePath();
    if (!FolderRefusal(path).empty()) return;   // the refused folder was told of already

    static std::mutex lock;
    std::lock_guard<std::mutex> hold(lock);
    struct stat st{};
    int fd = OpenLog(path, st);
    if (fd < 0) return;
    if (static_cast<size_t>(st.st_size) >= kEventLogRollBytes) {
        static bool told = false;
        if (::rename(path.c_str(), (path + ".1").c_str()) == 0) {
            ::close(fd);
            fd = OpenLog(path, st);
            if (fd < 0) return;
        } else {
            // The old log then goes on growing: nothing is lost, and an entry still looks at
            // no more than the roll size of it.
            TellOnce(told, "event log " + path + " not moved to " + path + ".1: " + std::strerror(errno));
        }
    }
    PutEntry(fd, st.st_size, "[" + section + "]", key, entry);
    ::close(fd);
}

}  // namespace spirelo
