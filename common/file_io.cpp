#include "common/file_io.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace spirelo {

namespace {
IoResult Fail(int err) { return IoResult{false, err, std::strerror(err)}; }

// The test seam: set only by tests, so the plain path costs one atomic load.
std::atomic<bool> gSeamSet{false};
std::mutex& SeamLock() {
    static std::mutex lock;
    return lock;
}
FileLayerSeam& Seam() {
    static FileLayerSeam seam;
    return seam;
}

int SeamOpenError(const std::string& path) {
    if (!gSeamSet.load(std::memory_order_acquire)) return 0;
    std::function<int(const std::string&)> onOpen;
    {
        std::lock_guard<std::mutex> hold(SeamLock());
        onOpen = Seam().onOpen;
    }
    return onOpen ? onOpen(path) : 0;
}

// 0 or the errno of the failed sync.
int Sync(int fd, bool folder) {
    if (gSeamSet.load(std::memory_order_acquire)) {
        std::function<int(int, bool)> onSync;
        {
            std::lock_guard<std::mutex> hold(SeamLock());
            onSync = Seam().onSync;
        }
        if (onSync) return onSync(fd, folder);
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Writes all of data to fd; 0 or the errno of the failed write.
int WriteAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

template <typename Buf>
IoResult ReadInto(const std::string& path, Buf& out, size_t maxBytes, size_t limit) {
    int fd = -1;
    struct stat st{};
    if (IoResult r = OpenRegularFile(path, fd, &st); !r) return r;
    const size_t size = static_cast<size_t>(st.st_size);
    if (size > maxBytes) {
        ::close(fd);
        return IoResult{false, EFBIG, "File too large (" + std::to_string(size) + " bytes, at most " +
                                          std::to_string(maxBytes) + ")"};
    }
    Buf buf;
    buf.resize(std::min(size, limit));
    size_t got = 0;
    while (got < buf.size()) {
        ssize_t n = ::read(fd, reinterpret_cast<char*>(buf.data()) + got, buf.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            int e = errno;
            ::close(fd);
            return Fail(e);
        }
        if (n == 0) {   // the file shrank while we read it: not the whole file
            ::close(fd);
            return Fail(EIO);
        }
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    out.swap(buf);
    return {};
}
}  // namespace

bool FileExists(const std::string& path) {
    if (!FolderRefusal(path).empty()) return false;
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

IoResult OpenRegularFile(const std::string& path, int& fd, struct stat* found) {
    fd = -1;
    if (std::string why = FolderRefusal(path); !why.empty()) return IoResult{false, EACCES, why};
    if (int e = SeamOpenError(path)) return Fail(e);
    // Opening a FIFO without O_NONBLOCK waits for a writer, possibly for ever.
    int f = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (f < 0) return Fail(errno);
    struct stat st{};
    if (::fstat(f, &st) != 0) {
        int e = errno;
        ::close(f);
        return Fail(e);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(f);
        if (S_ISDIR(st.st_mode)) return Fail(EISDIR);
        return IoResult{false, EINVAL, "Not a regular file"};
    }
    const int flags = ::fcntl(f, F_GETFL);
    if (flags < 0 || ::fcntl(f, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        int e = errno;
        ::close(f);
        return Fail(e);
    }
    if (found) *found = st;
    fd = f;
    return {};
}

bool IsUnfitFile(const IoResult& r) { return !r.ok && (r.error == EINVAL || r.error == EFBIG); }

bool IsReadFailure(const std::string& path, const IoResult& r) {
    if (r.ok || r.error == ENOENT || r.error == ENOTDIR) return false;
    // A refused folder is told once as a whole, where it is refused; its files are never touched.
    return FolderRefusal(path).empty();
}

void SetFileLayerSeam(FileLayerSeam seam) {
    std::lock_guard<std::mutex> hold(SeamLock());
    const bool set = seam.onOpen || seam.onSync;
    Seam() = std::move(seam);
    gSeamSet.store(set, std::memory_order_release);
}

std::string FailedSaveText(const IoResult& r) {
    return r.message + (r.replaced ? ". Новый файл записан, но при отключении питания может вернуться прежний."
                                   : ". Прежний файл не изменён.");
}

void RefusedTextFile::loaded(const std::string& path, const IoResult& r) {
    if (IsReadFailure(path, r)) path_ = path;
    else path_.clear();
}

bool RefusedTextFile::keeps(const std::string& path, std::string_view text) const {
    return !path_.empty() && path == path_ && text.empty();
}

void RefusedTextFile::saved(const std::string& path) {
    if (path == path_) path_.clear();
}

IoResult ReadBoundedFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out) {
    return ReadInto(path, out, maxBytes, SIZE_MAX);
}
IoResult ReadBoundedFile(const std::string& path, size_t maxBytes, std::string& out) {
    return ReadInto(path, out, maxBytes, SIZE_MAX);
}
IoResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) { return ReadInto(path, out, SIZE_MAX, SIZE_MAX); }
IoResult ReadWholeFile(const std::string& path, std::string& out) { return ReadInto(path, out, SIZE_MAX, SIZE_MAX); }
IoResult ReadFileHead(const std::string& path, size_t limit, std::vector<uint8_t>& out) {
    return ReadInto(path, out, SIZE_MAX, limit);
}

bool SaveMayFollowLink(uid_t linkOwner, mode_t folderMode, uid_t user) {
    if ((folderMode & S_IWOTH) == 0) return true;
    return linkOwner == user || linkOwner == 0;
}

bool IsOwnTempName(const std::string& entry) {
    // The write probe of earlier versions: ".spirelo-probe-" and six characters.
    static constexpr std::string_view kOldProbe = ".spirelo-probe-";
    if (entry.size() == kOldProbe.size() + 6 && entry.compare(0, kOldProbe.size(), kOldProbe) == 0) return true;
    const size_t suffix = std::strlen(kTempSuffix);
    // "." + at least one character of name + "." + six characters + the suffix
    if (entry.size() < 1 + 1 + 1 + 6 + suffix || entry[0] != '.') return false;
    if (entry.compare(entry.size() - suffix, suffix, kTempSuffix) != 0) return false;
    return entry[entry.size() - suffix - 7] == '.';
}

namespace {
std::mutex& RefusedLock() {
    static std::mutex lock;
    return lock;
}
std::map<std::string, std::string>& Refused() {
    static std::map<std::string, std::string> folders;
    return folders;
}

IoResult Refusal(const std::string& why) { return IoResult{false, EACCES, why}; }

// The file a save replaces: a symbolic link is followed to its target (relative links from the
// link's folder), so the link stays a link and the real file gets the new content. A link that
// another user planted in a folder open to everyone is not followed, as the kernel would not.
IoResult ResolveLinks(const std::string& path, std::string& out) {
    std::string cur = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st{};
        if (::lstat(cur.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::string dir = DirName(cur);
        if (dir.empty()) dir.push_back('.');
        struct stat folder{};
        if (::stat(dir.c_str(), &folder) != 0) return Fail(errno);
        if (!SaveMayFollowLink(st.st_uid, folder.st_mode, ::geteuid()))
            return Refusal((cur == path ? std::string("a symbolic link") : cur + " is a symbolic link") +
                           " of another user (uid " + std::to_string(st.st_uid) +
                           ") in a folder every user can write to: not followed");
        std::vector<char> buf(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        ssize_t n = ::readlink(cur.c_str(), buf.data(), buf.size() - 1);
        if (n <= 0) break;
        std::string target(buf.data(), static_cast<size_t>(n));
        if (target[0] != '/') target = dir + "/" + target;
        cur = target;
    }
    out = cur;
    return {};
}

mode_t CurrentUmask() {
    // Read, not set and restored: another thread may be making a file meanwhile.
    int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char buf[4096];
        std::string status;
        ssize_t n;
        while ((n = ::read(fd, buf, sizeof buf)) > 0 && status.size() < (1 << 16)) status.append(buf, size_t(n));
        ::close(fd);
        const size_t at = status.find("\nUmask:");
        if (at != std::string::npos) return static_cast<mode_t>(std::strtoul(status.c_str() + at + 7, nullptr, 8) & 0777);
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// A save holds a lock on its temporary file for as long as it runs, so one that can be locked
// belongs to no running save. Left by an interrupted save of this target, it goes at once;
// of another target, once it is a day old (that target may never be saved again). Only our
// own, by name and owner.
void RemoveStaleTemps(const std::string& dir, const std::string& prefix) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    const time_t dayAgo = ::time(nullptr) - 24 * 60 * 60;
    while (const dirent* e = ::readdir(d)) {
        const std::string entry = e->d_name;
        if (!IsOwnTempName(entry)) continue;
        const bool ofThisTarget = entry.size() == prefix.size() + 6 + std::strlen(kTempSuffix) &&
                                  entry.compare(0, prefix.size(), prefix) == 0;
        const std::string temp = dir + "/" + entry;
        int fd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st{};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            (ofThisTarget || st.st_mtime < dayAgo) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(temp.c_str());
        ::close(fd);
    }
    ::closedir(d);
}
}  // namespace

void RefuseFolder(const std::string& dir, const std::string& why) {
    std::string key = dir;
    while (key.size() > 1 && key.back() == '/') key.pop_back();
    std::lock_guard<std::mutex> hold(RefusedLock());
    Refused()[key] = why;
}

std::string FolderRefusal(const std::string& path) {
    std::lock_guard<std::mutex> hold(RefusedLock());
    for (const auto& [dir, why] : Refused()) {
        if (path.compare(0, dir.size(), dir) == 0 && (path.size() == dir.size() || path[dir.size()] == '/'))
            return why;
    }
    return {};
}

IoResult WriteFileAtomic(const std::string& path, const void* data, size_t size) {
    if (std::string why = FolderRefusal(path); !why.empty()) return Refusal(why);
    std::string target;
    if (IoResult r = ResolveLinks(path, target); !r) return r;
    if (std::string why = FolderRefusal(target); !why.empty()) return Refusal(why);
    // A file the user made read-only is not replaced; this holds for root too, whom access()
    // lets write anything.
    struct stat st{};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && (::access(target.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0)) return Fail(EACCES);
    // Built piece by piece: GCC 12 sees a false overlap in "." + name (-Wrestrict).
    std::string dir = DirName(target);
    if (dir.empty()) dir.push_back('.');
    std::string prefix(1, '.');
    prefix += BaseName(target);
    prefix.push_back('.');
    RemoveStaleTemps(dir, prefix);
    const std::string tmpl = dir + "/" + prefix + "XXXXXX" + kTempSuffix;
    const int suffix = static_cast<int>(std::strlen(kTempSuffix));
    std::vector<char> name;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 3; ++attempt) {
        name.assign(tmpl.begin(), tmpl.end());
        name.push_back('\0');
        fd = ::mkostemps(name.data(), suffix, O_CLOEXEC);   // 0600 until the rename
        if (fd < 0) return Fail(errno);
        // Locked for as long as the save runs. Another save's clean-up may have taken the file
        // in the instant before the lock: then it is gone from the folder, and a new one is made.
        ::flock(fd, LOCK_EX);
        struct stat mine{}, there{};
        if (::fstat(fd, &mine) != 0 || ::stat(name.data(), &there) != 0 || mine.st_ino != there.st_ino ||
            mine.st_dev != there.st_dev) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0) return Fail(EEXIST);
    if (int e = WriteAll(fd, data, size)) {
        ::close(fd);
        ::unlink(name.data());
        return Fail(e);
    }
    // A file of the user's own keeps its permissions; a new one, or one of somebody else that
    // this save replaces, gets what the umask allows.
    const mode_t mode = exists && st.st_uid == ::geteuid() ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    ::fchmod(fd, mode);
    if (int e = Sync(fd, false)) {
        ::close(fd);
        ::unlink(name.data());
        return Fail(e);
    }
    // Opened before the rename: a folder that cannot be synced fails the save with the old file whole.
    const int folder = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        int e = errno;
        ::close(fd);
        ::unlink(name.data());
        return Fail(e);
    }
    if (::rename(name.data(), target.c_str()) != 0) {
        int e = errno;
        ::close(folder);
        ::close(fd);
        ::unlink(name.data());
        return Fail(e);
    }
    int e = ::close(fd) != 0 ? errno : 0;
    // Until the folder is on disk, a power cut may undo the rename. A file system that cannot
    // sync folders at all says EINVAL: nothing more can be done there.
    if (int s = Sync(folder, true); s != 0 && s != EINVAL && e == 0) e = s;
    ::close(folder);
    if (e == 0) return {};
    IoResult r = Fail(e);
    r.replaced = true;
    return r;
}

IoResult AppendToFile(const std::string& path, const void* data, size_t size) {
    if (std::string why = FolderRefusal(path); !why.empty()) return Refusal(why);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) return Fail(errno);
    if (int e = WriteAll(fd, data, size)) {
        ::close(fd);
        return Fail(e);
    }
    if (::close(fd) != 0) return Fail(errno);
    return {};
}

void BlockWriter::put(const void* data, size_t size) {
    const size_t at = buf_.size();
    buf_.resize(at + size);
    if (size > 0) std::memcpy(buf_.data() + at, data, size);
}

void BlockWriter::zeros(size_t size) { buf_.resize(buf_.size() + size, 0); }

bool BlockReader::get(void* dest, size_t size) {
    if (size > remaining()) return false;
    std::memcpy(dest, data_ + pos_, size);
    pos_ += size;
    return true;
}

bool BlockReader::skip(size_t size) {
    if (size > remaining()) return false;
    pos_ += size;
    return true;
}

std::string DirName(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace spirelo
