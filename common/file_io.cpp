#include "common/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
IoResult ReadInto(const std::string& path, Buf& out) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Fail(errno);
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        int e = errno;
        ::close(fd);
        return Fail(e);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return Fail(EISDIR);
    }
    Buf buf;
    buf.resize(static_cast<size_t>(st.st_size));
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

IoResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) { return ReadInto(path, out); }
IoResult ReadWholeFile(const std::string& path, std::string& out) { return ReadInto(path, out); }

IoResult WriteFileAtomic(const std::string& path, const void* data, size_t size) {
    std::string dir = DirName(path);
    std::string tmpl = (dir.empty() ? std::string(".") : dir) + "/." + BaseName(path) + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return Fail(errno);
    if (int e = WriteAll(fd, data, size)) {
        ::close(fd);
        ::unlink(name.data());
        return Fail(e);
    }
    // Keep the permissions of the file we replace; a new file gets the usual 0644.
    struct stat st{};
    mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    ::fchmod(fd, mode);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        int e = errno;
        ::unlink(name.data());
        return Fail(e);
    }
    if (::rename(name.data(), path.c_str()) != 0) {
        int e = errno;
        ::unlink(name.data());
        return Fail(e);
    }
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
    const uint8_t* p = static_cast<const uint8_t*>(data);
    buf_.insert(buf_.end(), p, p + size);
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
