#include "platform/program_paths.h"

#include "common/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
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

std::string WithSlash(std::string d) {
    if (d.empty() || d.back() != '/') d += '/';
    return d;
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

std::string BesideProgramFolder(const std::string& app) {
    std::string dir = DirName(ProgramFile());
    if (dir.empty()) dir = std::string(".");
    if (CanCreateFilesIn(dir)) return WithSlash(dir);
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && *xdg) base = xdg;
    else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/tmp") + "/.config";
    }
    std::string folder = WithSlash(base) + app + "/";
    MakeDirs(folder);
    return folder;
}

std::string BesideProgramPath(const std::string& app) {
    return BesideProgramFolder(app) + BaseName(ProgramFile());
}

std::string RuntimeFolder(const std::string& app) {
    const char* rt = std::getenv("XDG_RUNTIME_DIR");
    if (rt && *rt) {
        struct stat st{};
        if (::stat(rt, &st) == 0 && S_ISDIR(st.st_mode)) return WithSlash(rt);
    }
    return BesideProgramFolder(app);
}

}  // namespace spirelo
