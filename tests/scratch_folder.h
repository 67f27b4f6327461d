// A folder of one test's own, made with mkdtemp under $TMPDIR (else /tmp) and removed with all it
// holds when the test ends, failed or not, so two suites on one machine never meet in it.
// SPIRELO_KEEP_TEST_FILES=1 keeps it and prints where it is.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <stdlib.h>
#include <sys/stat.h>

namespace spirelo::test {

class ScratchFolder {
public:
    // `tag` names the folder's prefix, so a kept folder tells which test made it.
    explicit ScratchFolder(std::string_view tag = "spirelo-test") {
        const char* tmp = std::getenv("TMPDIR");
        std::string base = (tmp && *tmp) ? tmp : "/tmp";
        std::string pattern = base + "/" + std::string(tag) + "-XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (::mkdtemp(buf.data())) path_ = buf.data();
    }
    ~ScratchFolder() { Remove(); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool made() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }
    operator std::filesystem::path() const { return path_; }

    // Removes it now (a test that checks what it leaves behind); the destructor then does nothing.
    void Remove() {
        if (path_.empty()) return;
        const char* keep = std::getenv("SPIRELO_KEEP_TEST_FILES");
        if (keep && *keep && std::string_view(keep) != "0") {
            std::fprintf(stderr, "kept test files in %s\n", path_.c_str());
        } else {
            std::error_code ec;
            OpenUp(path_);
            std::filesystem::remove_all(path_, ec);
        }
        path_.clear();
    }

private:
    // Tests make folders without write or search rights; give them back so everything goes.
    static void OpenUp(const std::filesystem::path& dir) {
        namespace fs = std::filesystem;
        ::chmod(dir.c_str(), S_IRWXU);
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec)) OpenUp(it->path());
        }
    }

    std::string path_;
};

}  // namespace spirelo::test
