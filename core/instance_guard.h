// One controller at a time. The running instance holds an advisory lock (flock) on a lock file
// beside the guard file for its whole life; a start is refused exactly while another instance
// holds it, and the kernel drops the lock when an instance dies, so a crash never blocks the
// next start. The guard file's "Complete" and "Repeat" keys still tell an outside reader
// whether an instance runs or ended normally; only the instance holding the lock writes them.
#pragma once

#include <string>

namespace spirelo {

inline constexpr const char* kGuardSection = "Appl";

class InstanceGuard {
public:
    enum class Result { Acquired, Refused, Unavailable };

    InstanceGuard() = default;
    explicit InstanceGuard(std::string guardFile) : guardFile_(std::move(guardFile)) {}
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // Points the guard at another file (releases a lock held on the old one).
    void setGuardFile(std::string guardFile);
    const std::string& guardFile() const { return guardFile_; }
    std::string lockFile() const { return guardFile_ + ".lock"; }

    // Takes the lock without waiting. Refused: another instance holds it. Unavailable: the
    // lock file cannot be made (the folder is missing, read-only or refused) or is not the
    // user's own regular file; error gets the reason.
    Result acquire(std::string* error = nullptr);
    bool held() const { return fd_ >= 0; }
    void release();

    // "Repeat" := "Spirelo", then "Complete" := "noNormal". Only while the lock is held.
    bool markRunning();
    // "Repeat" := "noJobSpirelo", then "Complete" := "Normal". Only while the lock is held.
    bool markEnded();

private:
    bool writeMarks(const char* repeat, const char* complete);
    std::string guardFile_;
    int fd_ = -1;
};

// $XDG_RUNTIME_DIR/twice.ini, or twice.ini in the settings folder when the variable is unset or
// its path fails the folder check (which the settings folder passes too, or is refused);
// SectionSuffix() goes before ".ini" (tests only).
std::string InstanceGuardFile();

// The running program's guard, on InstanceGuardFile() unless pointed elsewhere.
InstanceGuard& InstanceGuardInstance();

}  // namespace spirelo
