#include "common/shared_section.h"

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

bool SharedSection::open(const std::string& name, size_t size, std::string* error) {
    close();
    size_t want = size < kPage ? kPage : (size + kPage - 1) / kPage * kPage;
    int fd = ::shm_open(ShmName(name).c_str(), O_RDWR | O_CREAT, 0600);
    if (fd < 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
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

bool SharedSection::writeText(const char* text, size_t len) {
    if (!data_ || size_ == 0) return false;
    if (len > size_ - 1) len = size_ - 1;
    std::memcpy(data_, text, len);
    data_[len] = 0;
    return true;
}

bool SharedSection::readText(std::string& out) const {
    if (!data_) return false;
    const void* nul = std::memchr(data_, 0, size_);
    size_t len = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - data_) : size_;
    out.assign(reinterpret_cast<const char*>(data_), len);
    return true;
}

void SharedSection::unlink(const std::string& name) { ::shm_unlink(ShmName(name).c_str()); }

}  // namespace spirelo
