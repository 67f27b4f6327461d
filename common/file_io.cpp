#include "common/file_io.h"

#include <algorithm>
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
    if (IoResult r = OpenRegularFile(path, fd); !r) return r;
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        int e = errno;
        ::close(fd);
        return Fail(e);
    }
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
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

IoResult OpenRegularFile(const std::string& path, int& fd) {
    fd = -1;
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
    fd = f;
    return {};
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

namespace {
// The file a save replaces: a symbolic link is followed to its target (relative links from the
// link's folder), so the link stays a link and the real file gets the new content.
std::string ResolveLinks(const std::string& path) {
    std::string cur = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st{};
        if (::lstat(cur.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return cur;
        std::vector<char> buf(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        ssize_t n = ::readlink(cur.c_str(), buf.data(), buf.size() - 1);
        if (n < 0) return cur;
        std::string target(buf.data(), static_cast<size_t>(n));
        if (target.empty()) return cur;
        if (target[0] != '/') {
            std::string dir = DirName(cur);
            target = (dir.empty() ? std::string(".") : dir) + "/" + target;
        }
        cur = target;
    }
    return cur;
}

// Temporary files of one target: "." + name + "." + six characters, beside it.
bool IsTempOf(const std::string& entry, const std::string& prefix) {
    return entry.size() == prefix.size() + 6 && entry.compare(0, prefix.size(), prefix) == 0;
}

// Removes temporary files an interrupted save of this target left: a save holds a lock on its
// own for as long as it runs, so one that can be locked belongs to no running save.
void RemoveStaleTemps(const std::string& dir, const std::string& prefix) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        if (!IsTempOf(e->d_name, prefix)) continue;
        const std::string temp = dir + "/" + e->d_name;
        int fd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        struct stat st{};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(temp.c_str());
        ::close(fd);
    }
    ::closedir(d);
}
}  // namespace

IoResult WriteFileAtomic(const std::string& path, const void* data, size_t size) {
    const std::string target = ResolveLinks(path);
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
    const std::string tmpl = dir + "/" + prefix + "XXXXXX";
    std::vector<char> name;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 3; ++attempt) {
        name.assign(tmpl.begin(), tmpl.end());
        name.push_back('\0');
        fd = ::mkstemp(name.data());
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
    // Keep the permissions of the file we replace; a new file gets the usual 0644.
    mode_t mode = exists ? (st.st_mode & 07777) : 0644;
    ::fchmod(fd, mode);
    if (::fsync(fd) != 0) {
        int e = errno;
        ::close(fd);
        ::unlink(name.data());
        return Fail(e);
    }
    if (::rename(name.data(), target.c_str()) != 0) {
        int e = errno;
        ::close(fd);
        ::unlink(name.data());
        return Fail(e);
    }
    if (::close(fd) != 0) return Fail(errno);
    return {};
}

IoResult AppendToFile(const std::string& path, const void* data, size_t size) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
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
