#include "platform/program_paths.h"

#include "common/file_io.h"
#include "platform/message_service.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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
// Every log write and settings path asks, so each folder is probed once and the answer kept.
bool ProbeCreateFilesIn(const std::string& dir) {
    std::string probe = dir + "/.spirelo-probe-XXXXXX";
    std::vector<char> name(probe.begin(), probe.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(name.data());
    return true;
}

bool CanCreateFilesIn(const std::string& dir) {
    static std::mutex lock;
    static std::map<std::string, bool> known;
    std::lock_guard<std::mutex> hold(lock);
    auto it = known.find(dir);
    if (it == known.end()) it = known.emplace(dir, ProbeCreateFilesIn(dir)).first;
    return it->second;
}

// $HOME, else the home the password database gives; "" when neither.
std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
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

std::string FolderProblem(const std::string& dir) {
    struct stat st{};
    if (::stat(dir.c_str(), &st) != 0) return {};   // missing: a save says why
    return FolderStatProblem(st.st_uid, st.st_mode, ::geteuid());
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

std::string BesideProgramFolder(const std::string& app) {
    std::string dir = DirName(ProgramFile());
    if (dir.empty()) dir = std::string(".");
    // An installed program's folder is shared by every user (and writable to root): never its files'.
    if (DataFolderOf(dir).empty() && CanCreateFilesIn(dir)) return WithSlash(dir);
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) base = xdg;
    else if (std::string home = HomeFolder(); !home.empty()) base = home + "/.config";
    if (base.empty()) {
        // Nowhere of the user's own: everything "beside the program" is refused, nothing is made.
        const std::string folder = "~/.config/" + app + "/";
        RefuseFolder(folder, "no home folder for uid " + std::to_string(::geteuid()) +
                                 ": settings are neither read nor saved");
        return folder;
    }
    std::string folder = WithSlash(base) + app + "/";
    MakeDirs(folder);
    if (std::string problem = FolderProblem(folder); !problem.empty())
        RefuseFolder(folder, "folder " + folder + " not used: " + problem);
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
            const std::string problem = FolderStatProblem(st.st_uid, st.st_mode, ::geteuid());
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

std::string FolderStatProblem(uid_t owner, mode_t mode, uid_t user) {
    if (owner != user) return "it belongs to another user (uid " + std::to_string(owner) + ")";
    if (mode & (S_IWGRP | S_IWOTH)) {
        char octal[8];
        std::snprintf(octal, sizeof octal, "%04o", unsigned(mode & 07777));
        return std::string("other users can write to it (mode ") + octal + ")";
    }
    return {};
}

}  // namespace spirelo
