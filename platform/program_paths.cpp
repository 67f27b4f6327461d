#include "platform/program_paths.h"

#include "common/file_io.h"
#include "platform/message_service.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace spirelo {

namespace {
std::string& Override() {
    static std::string path;
    return path;
}

void MakeDirs(const std::string& dir) {
    std::string part;
    for (size_t i = 0; i < dir.size(); ++i) {
        part += dir[i];
        if ((dir[i] == '/' && i > 0) || i + 1 == dir.size()) ::mkdir(part.c_str(), 0700);
    }
}

// access() says yes to root everywhere but on read-only mounts; making a file is the real test.
// An unnamed file, where the file system has them, so that a kill in between leaves nothing;
// elsewhere a named one that the stale-temp sweep of a later save takes. 0, or why not.
int ProbeCreateFilesIn(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return 0;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
    std::string probe = dir + "/.spirelo-probe.XXXXXX" + kTempSuffix;
    std::vector<char> name(probe.begin(), probe.end());
    name.push_back('\0');
    fd = ::mkostemps(name.data(), static_cast<int>(std::strlen(kTempSuffix)), O_CLOEXEC);
    if (fd < 0) return errno;
    ::close(fd);
    ::unlink(name.data());
    return 0;
}

std::string Octal(mode_t mode) {
    char octal[8];
    std::snprintf(octal, sizeof octal, "%04o", unsigned(mode & 07777));
    return octal;
}

bool OpenToOthers(mode_t mode) { return (mode & (S_IWGRP | S_IWOTH)) != 0; }

// The program's folder is looked at once: every log write and settings path asks, and the probe
// would show in the folder's modification time. "" when its files may go there.
std::string ProgramFolderProblem(const std::string& dir) {
    static std::mutex lock;
    static std::map<std::string, std::string> known;
    std::lock_guard<std::mutex> hold(lock);
    auto it = known.find(dir);
    if (it == known.end()) {
        std::string problem = FolderPathProblem(dir, ::geteuid());
        if (problem.empty())
            if (int e = ProbeCreateFilesIn(dir)) problem = std::string("it cannot be written (") + std::strerror(e) + ")";
        it = known.emplace(dir, problem).first;
    }
    return it->second;
}

std::mutex& NoticeLock() {
    static std::mutex lock;
    return lock;
}
struct Notice {
    std::string text;
    bool taken = false;
};
std::map<std::string, Notice>& Notices() {   // by app
    static std::map<std::string, Notice> notices;
    return notices;
}

// Said on the terminal when first found, and kept for the start's own report.
void NoteProgramFolder(const std::string& app, const std::string& text) {
    static std::set<std::string> told;
    std::lock_guard<std::mutex> hold(NoticeLock());
    if (!told.insert(app + '\n' + text).second) return;
    std::fprintf(stderr, "%s: %s\n", BaseName(ProgramFile()).c_str(), text.c_str());
    Notices()[app] = Notice{text, false};
}

// The home the password database gives the user; "" when none.
std::string PasswordHome() {
    std::vector<char> buf(16384);
    struct passwd pw{}, *found = nullptr;
    if (::getpwuid_r(::geteuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

std::string WithSlash(std::string d) {
    if (d.empty() || d.back() != '/') d += '/';
    return d;
}

#ifndef SPIRELO_DATA_FROM_BIN
#define SPIRELO_DATA_FROM_BIN "../share/spirelo"
#endif

std::string DataFolderOf(const std::string& dir) {
    static std::mutex lock;
    static std::map<std::string, std::string> known;
    std::lock_guard<std::mutex> hold(lock);
    auto it = known.find(dir);
    if (it == known.end()) {
        const std::string data =
            std::filesystem::path(WithSlash(dir) + SPIRELO_DATA_FROM_BIN).lexically_normal().string();
        struct stat st{};
        const bool installed = ::stat(data.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        it = known.emplace(dir, installed ? WithSlash(data) : std::string()).first;
    }
    return it->second;
}

// $XDG_CONFIG_HOME/<app>/ (made when missing), refused in the file layer when its path is unfit.
std::string FallbackFolder(const std::string& app) {
    const char* home = std::getenv("HOME");
    const std::string base =
        ConfigBaseFolder(std::getenv("XDG_CONFIG_HOME"), home, home && *home ? std::string() : PasswordHome());
    if (base.empty()) {
        // Nowhere of the user's own: everything "beside the program" is refused, nothing is made.
        const std::string folder = "~/.config/" + app + "/";
        RefuseFolder(folder, "no home folder for uid " + std::to_string(::geteuid()) +
                                 ": settings are neither read nor saved");
        return folder;
    }
    std::string folder = WithSlash(base) + app + "/";
    // Looked at before anything is made too: a folder is never made in another user's folder,
    // nor where her link points.
    std::string problem = FolderPathProblem(folder, ::geteuid());
    struct stat st{};
    if (problem.empty() && ::lstat(folder.c_str(), &st) != 0) {   // the check stopped where it is missing
        MakeDirs(folder);
        problem = FolderPathProblem(folder, ::geteuid());
    }
    if (!problem.empty()) RefuseFolder(folder, "folder " + folder + " not used: " + problem);
    return folder;
}

}  // namespace

std::string ProgramFile() {
    if (!Override().empty()) return Override();
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./program";
    return std::string(buf, static_cast<size_t>(n));
}

void OverrideProgramFile(const std::string& path) { Override() = path; }

std::string InstalledDataFolder() {
    std::string dir = DirName(ProgramFile());
    return DataFolderOf(dir.empty() ? std::string(".") : dir);
}

std::string BesideProgramFolder(const std::string& app) { return BesideProgramFolderOf(DirName(ProgramFile()), app); }

std::string BesideProgramFolderOf(const std::string& programFolder, const std::string& app) {
    const std::string dir = programFolder.empty() ? std::string(".") : programFolder;
    // An installed program's folder is shared by every user (and writable to root): never its files'.
    if (!DataFolderOf(dir).empty()) return FallbackFolder(app);
    const std::string problem = ProgramFolderProblem(dir);
    if (problem.empty()) return WithSlash(dir);
    std::string folder = FallbackFolder(app);
    NoteProgramFolder(app, "program folder " + WithSlash(dir) + " not used: " + problem + "; the files kept beside the program go to " + folder);
    return folder;
}

std::string BesideProgramPath(const std::string& app) {
    return BesideProgramFolder(app) + BaseName(ProgramFile());
}

std::string RuntimeFolder(const std::string& app) {
    const char* rt = std::getenv("XDG_RUNTIME_DIR");
    if (rt && *rt) {
        struct stat st{};
        if (::stat(rt, &st) == 0 && S_ISDIR(st.st_mode)) {
            const std::string problem = FolderPathProblem(rt, ::geteuid());
            if (problem.empty()) return WithSlash(rt);
            static std::mutex lock;
            static std::set<std::string> told;
            std::lock_guard<std::mutex> hold(lock);
            if (told.insert(rt).second)
                Messages().warning("XDG_RUNTIME_DIR " + WithSlash(rt) + " not used: " + problem);
        }
    }
    return BesideProgramFolder(app);
}

std::string ConfigBaseFolder(const char* xdgConfigHome, const char* home, const std::string& passwordHome) {
    if (xdgConfigHome && *xdgConfigHome) return xdgConfigHome;
    if (home && *home) return std::string(home) + "/.config";
    if (!passwordHome.empty() && passwordHome[0] == '/') return passwordHome + "/.config";
    return {};
}

std::string FolderStatProblem(uid_t owner, mode_t mode, uid_t user) {
    if (owner != user) return "it belongs to another user (uid " + std::to_string(owner) + ")";
    if (OpenToOthers(mode)) return "other users can write to it (mode " + Octal(mode) + ")";
    return {};
}

namespace {
// Splits a path into its names, "." left out ("..", kept, is taken where it stands).
void PrependParts(const std::string& path, std::deque<std::string>& parts) {
    std::deque<std::string> mine;
    size_t at = 0;
    while (at <= path.size()) {
        size_t end = path.find('/', at);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(at, end - at);
        if (!part.empty() && part != ".") mine.push_back(std::move(part));
        at = end + 1;
    }
    parts.insert(parts.begin(), mine.begin(), mine.end());
}

// A folder on the way: root's or the user's, and open to others only when sticky, where no
// other user can move or replace the entries they do not own.
std::string OnTheWayProblem(const std::string& name, const struct stat& st, uid_t user) {
    if (st.st_uid != user && st.st_uid != 0)
        return name + " on the way to it belongs to another user (uid " + std::to_string(st.st_uid) + ")";
    if (OpenToOthers(st.st_mode) && (st.st_mode & S_ISVTX) == 0)
        return name + " on the way to it can be written by other users (mode " + Octal(st.st_mode) + ")";
    return {};
}
}  // namespace

std::string FolderPathProblem(const std::string& folder, uid_t user) {
    std::string path = folder;
    if (path.empty() || path[0] != '/') {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) return std::string("the working folder cannot be found (") + std::strerror(errno) + ")";
        path = std::string(cwd) + "/" + path;
    }
    std::deque<std::string> rest;
    PrependParts(path, rest);
    struct stat st{};
    if (::lstat("/", &st) != 0) return std::string("/ cannot be looked at (") + std::strerror(errno) + ")";
    if (rest.empty()) return FolderStatProblem(st.st_uid, st.st_mode, user);
    if (std::string p = OnTheWayProblem("/", st, user); !p.empty()) return p;
    std::string at = "/";
    mode_t atMode = st.st_mode;
    int links = 0;
    while (!rest.empty()) {
        const std::string part = rest.front();
        rest.pop_front();
        if (part == "..") {   // the folder the resolved path stands in, checked already
            at = DirName(at);
            if (::lstat(at.c_str(), &st) != 0) return at + " cannot be looked at (" + std::strerror(errno) + ")";
            atMode = st.st_mode;
            continue;
        }
        const std::string next = (at == "/" ? at : at + "/") + part;
        if (::lstat(next.c_str(), &st) != 0) {
            if (errno == ENOENT) return {};   // missing: the save that needs it says why
            return next + " cannot be looked at (" + std::strerror(errno) + ")";
        }
        // In a sticky folder open to others, only the owner of an entry can move or replace it.
        if (OpenToOthers(atMode) && st.st_uid != user && st.st_uid != 0)
            return next + " on the way to it is another user's (uid " + std::to_string(st.st_uid) + ") in " + at +
                   ", which others can write to";
        const bool last = rest.empty();
        if (S_ISLNK(st.st_mode)) {
            if (last) return "it is a symbolic link";
            if (++links > 40) return next + " on the way to it: too many symbolic links";
            std::vector<char> buf(PATH_MAX + 1);
            const ssize_t n = ::readlink(next.c_str(), buf.data(), buf.size() - 1);
            if (n <= 0) return next + " cannot be looked at (" + std::strerror(n < 0 ? errno : ENOENT) + ")";
            const std::string target(buf.data(), static_cast<size_t>(n));
            PrependParts(target, rest);
            if (target[0] == '/') {
                at = "/";
                if (::lstat("/", &st) != 0) return std::string("/ cannot be looked at (") + std::strerror(errno) + ")";
                atMode = st.st_mode;
            }
            continue;
        }
        if (!S_ISDIR(st.st_mode)) return last ? std::string("it is not a folder") : next + " on the way to it is not a folder";
        if (last) return FolderStatProblem(st.st_uid, st.st_mode, user);
        if (std::string p = OnTheWayProblem(next, st, user); !p.empty()) return p;
        at = next;
        atMode = st.st_mode;
    }
    return {};
}

std::string TakeFolderNotice(const std::string& app) {
    std::lock_guard<std::mutex> hold(NoticeLock());
    auto it = Notices().find(app);
    if (it == Notices().end() || it->second.taken) return {};
    it->second.taken = true;
    return it->second.text;
}

}  // namespace spirelo
