// A named shared-memory section (POSIX shm_open "/<name>"): created when missing, opened when
// another program of the same user made it first (one of another user is refused). At least
// one page, grown never shrunk, mode 0600, never unlinked by the programs. Reads and writes are
// bounded by the mapping size and by the section's size at that moment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace spirelo {

class SharedSection {
public:
    SharedSection() = default;
    ~SharedSection();
    SharedSection(const SharedSection&) = delete;
    SharedSection& operator=(const SharedSection&) = delete;

    // name without the leading "/"; size is rounded up to whole pages (at least 4096).
    // heldByOther, when given, tells whether the failure was that another user holds the name.
    bool open(const std::string& name, size_t size, std::string* error = nullptr, bool* heldByOther = nullptr);
    void close();               // unmaps; the section itself stays for the other program
    bool isOpen() const { return data_ != nullptr; }
    uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

    // Copies text (plus a NUL) into the section, cut to fit; false when not open. A section
    // another program shrank is grown back first (false when that fails).
    bool writeText(const char* text, size_t len);
    // Copies the text up to the first NUL (or the mapping end) into out; false when not open
    // or when the section is now smaller than the mapping (the writer grows it back).
    bool readText(std::string& out) const;

    // Removes the named section from the system (tests only: the programs never unlink).
    static void unlink(const std::string& name);

private:
    size_t currentSize() const;   // the section's size now, at most the mapping's
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    int fd_ = -1;
};

// The rule both programs follow, so that a controller and a Glimmora of one user still meet when
// another user holds a section's name (one left by a run as root): the name itself when it is
// free or the user's own, else OwnSectionName(name). used gets the name opened; note, when the
// user's own name was taken, one line that says so (empty otherwise).
bool OpenOwnSection(SharedSection& s, const std::string& name, size_t size, std::string& used, std::string& note,
                    std::string* error = nullptr);
std::string OwnSectionName(const std::string& name);   // name followed by the user's id

}  // namespace spirelo
