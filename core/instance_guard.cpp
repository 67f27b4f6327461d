#include "core/instance_guard.h"

#include "common/ini_file.h"
#include "common/live_data.h"
#include "platform/program_paths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
    // Close-on-exec: a program started from here (a mail or web handler) must not keep the
    // lock alive after this instance has gone.
    int fd = ::open(lockFile().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (error) *error = lockFile() + ": " + std::strerror(errno);
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
    return ini.save();
}

bool InstanceGuard::markRunning() { return writeMarks("Spirelo", "noNormal"); }
bool InstanceGuard::markEnded() { return writeMarks("noJobSpirelo", "Normal"); }

std::string InstanceGuardFile() { return RuntimeFolder("spirelo") + "twice" + SectionSuffix() + ".ini"; }

InstanceGuard& InstanceGuardInstance() {
    static InstanceGuard guard(InstanceGuardFile());
    return guard;
}

}  // namespace spirelo
