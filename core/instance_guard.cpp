#include "core/instance_guard.h"

#include "common/file_io.h"
#include "common/ini_file.h"
#include "common/live_data.h"
#include "platform/program_paths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>

namespace spirelo {

InstanceGuard::~InstanceGuard() { release(); }

void InstanceGuard::setGuardFile(std::string guardFile) {
    release();
    guardFile_ = std::move(guardFile);
}

InstanceGuard::Result InstanceGuard::acquire(std::string* error) {
    if (fd_ >= 0) return Result::Acquired;
    const std::string lock = lockFile();
    if (std::string why = FolderRefusal(lock); !why.empty()) {
        if (error) *error = lock + ": " + why;
        return Result::Unavailable;
    }
    // Close-on-exec: a program started from here (a mail or web handler) must not keep the
    // lock alive after this instance has gone. Never through a link, never a FIFO's wait.
    int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd < 0) {
        if (error) *error = lock + ": " + std::strerror(errno);
        return Result::Unavailable;
    }
    // Another user's lock file says nothing of our instances, and whoever holds it could keep
    // every start out: it is not used, and the start goes on unguarded (said by the caller).
    struct stat st{};
    std::string problem;
    if (::fstat(fd, &st) != 0) problem = std::strerror(errno);
    else if (!S_ISREG(st.st_mode)) problem = "not a regular file";
    else if (st.st_uid != ::geteuid()) problem = "belongs to another user (uid " + std::to_string(st.st_uid) + ")";
    if (!problem.empty()) {
        ::close(fd);
        if (error) *error = lock + ": " + problem;
        return Result::Unavailable;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) return Result::Refused;
        if (error) *error = lockFile() + ": " + std::strerror(err);
        return Result::Unavailable;
    }
    fd_ = fd;
    return Result::Acquired;
}

void InstanceGuard::release() {
    if (fd_ < 0) return;
    ::close(fd_);   // drops the lock; the lock file stays, an empty marker
    fd_ = -1;
}

bool InstanceGuard::writeMarks(const char* repeat, const char* complete) {
    if (fd_ < 0) return false;
    IniFile ini(guardFile_);
    ini.writeString(kGuardSection, "Repeat", repeat);
    ini.writeString(kGuardSection, "Complete", complete);
    return ini.save().ok;
}

bool InstanceGuard::markRunning() { return writeMarks("Spirelo", "noNormal"); }
bool InstanceGuard::markEnded() { return writeMarks("noJobSpirelo", "Normal"); }

std::string InstanceGuardFile() { return RuntimeFolder("spirelo") + "twice" + SectionSuffix() + ".ini"; }

InstanceGuard& InstanceGuardInstance() {
    static InstanceGuard guard(InstanceGuardFile());
    return guard;
}

}  // namespace spirelo
