#include "common/shared_section.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace spirelo {

namespace {
constexpr size_t kPage = 4096;
std::string ShmName(const std::string& name) { return name.empty() || name[0] != '/' ? "/" + name : name; }
}  // namespace

SharedSection::~SharedSection() { close(); }

bool SharedSection::open(const std::string& name, size_t size, std::string* error, bool* heldByOther) {
    close();
    if (heldByOther) *heldByOther = false;
    size_t want = size < kPage ? kPage : (size + kPage - 1) / kPage * kPage;
    int fd = ::shm_open(ShmName(name).c_str(), O_RDWR | O_CREAT, 0600);
    if (fd < 0) {
        if (heldByOther) *heldByOther = errno == EACCES;   // there, and not ours to open
        if (error) *error = std::strerror(errno);
        return false;
    }
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        if (error) *error = std::strerror(errno);
        ::close(fd);
        return false;
    }
    // A section made beforehand by someone else could be written, shrunk or read by them:
    // refused. One of ours keeps no looser mode than 0600, whoever made it first.
    if (st.st_uid != ::geteuid()) {
        if (heldByOther) *heldByOther = true;
        if (error) *error = "the section /" + name + " belongs to another user (uid " + std::to_string(st.st_uid) + ")";
        ::close(fd);
        return false;
    }
    if ((st.st_mode & 07777) != 0600 && ::fchmod(fd, 0600) != 0) {
        if (error) *error = std::strerror(errno);
        ::close(fd);
        return false;
    }
    // Grown never shrunk: the other program may have made it larger.
    if (static_cast<size_t>(st.st_size) < want && ::ftruncate(fd, static_cast<off_t>(want)) != 0) {
        if (error) *error = std::strerror(errno);
        ::close(fd);
        return false;
    }
    size_t mapped = static_cast<size_t>(st.st_size) > want ? static_cast<size_t>(st.st_size) : want;
    void* p = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (p == MAP_FAILED) {
        if (error) *error = std::strerror(errno);
        ::close(fd);
        return false;
    }
    data_ = static_cast<uint8_t*>(p);
    size_ = mapped;
    fd_ = fd;
    return true;
}

void SharedSection::close() {
    if (data_) ::munmap(data_, size_);
    if (fd_ >= 0) ::close(fd_);
    data_ = nullptr;
    size_ = 0;
    fd_ = -1;
}

size_t SharedSection::currentSize() const {
    struct stat st{};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
    return std::min(size_, static_cast<size_t>(st.st_size));
}

bool SharedSection::writeText(const char* text, size_t len) {
    if (!data_ || size_ == 0) return false;
    if (len > size_ - 1) len = size_ - 1;
    // Touching mapped pages past the end of a section that was shrunk kills the program
    // (SIGBUS): a shrunk section is grown back to the mapping first.
    if (currentSize() < len + 1 && ::ftruncate(fd_, static_cast<off_t>(size_)) != 0) return false;
    std::memcpy(data_, text, len);
    data_[len] = 0;
    return true;
}

bool SharedSection::readText(std::string& out) const {
    if (!data_) return false;
    // A shrunk section is skipped until its writer grows it back.
    if (currentSize() < size_) return false;
    const void* nul = std::memchr(data_, 0, size_);
    size_t len = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - data_) : size_;
    out.assign(reinterpret_cast<const char*>(data_), len);
    return true;
}

std::string OwnSectionName(const std::string& name) { return name + std::to_string(::geteuid()); }

bool OpenOwnSection(SharedSection& s, const std::string& name, size_t size, std::string& used, std::string& note,
                    std::string* error) {
    note.clear();
    used = name;
    bool held = false;
    std::string why;
    if (s.open(name, size, &why, &held)) return true;
    if (!held) {
        if (error) *error = why;
        return false;
    }
    used = OwnSectionName(name);
    if (!s.open(used, size, error)) return false;
    // Where the system keeps its sections, for the holder's id (left out when it cannot be seen).
    struct stat st{};
    const std::string holder =
        ::stat(("/dev/shm/" + name).c_str(), &st) == 0 ? " (uid " + std::to_string(st.st_uid) + ")" : "";
    note = "/" + name + " is another user's" + holder + ", so /" + used + " is used instead";
    return true;
}

void SharedSection::unlink(const std::string& name) { ::shm_unlink(ShmName(name).c_str()); }

}  // namespace spirelo
