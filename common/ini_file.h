// The project's ini file: sections and keys in file order, keys and section names compared
// case-insensitively, values kept as text. Booleans are "1"/"0"; floats are written with "."
// and read with "." or ",". Values holding CR or LF are written so that they read back whole.
#pragma once

#include "common/file_io.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace spirelo {

// n + 1, staying at the largest value: a stored counter may hold anything.
inline long long SaturatingIncrement(long long n) { return n == INT64_MAX ? n : n + 1; }

class IniFile {
public:
    // Settings take kilobytes; a larger file is refused unread (and so never written over), since
    // it is loaded on the window thread at start.
    static constexpr size_t kMaxIniBytes = size_t(2) << 20;

    IniFile() = default;
    explicit IniFile(std::string path);   // loads the file when it exists (UTF-8, or CP1251 when not valid UTF-8)

    const std::string& path() const { return path_; }
    bool load();                          // re-reads path(); false (and empty) when missing or unreadable
    // A file that exists but could not be read is never written over: save() refuses, so that
    // a load-modify-save does not replace every other key with the few it set.
    bool unreadable() const { return !readError_.empty(); }
    const std::string& readError() const { return readError_; }   // the system's text for it
    IoResult save(std::string* error = nullptr) const;   // atomic; error gets the system's text
    void loadFromText(const std::string& text);
    std::string toText() const;

    bool hasSection(const std::string& section) const;
    bool hasKey(const std::string& section, const std::string& key) const;
    std::vector<std::string> sections() const;
    std::vector<std::string> keys(const std::string& section) const;
    void eraseSection(const std::string& section);
    void eraseKey(const std::string& section, const std::string& key);

    std::string readString(const std::string& section, const std::string& key, const std::string& def) const;
    long long readInteger(const std::string& section, const std::string& key, long long def) const;
    bool readBool(const std::string& section, const std::string& key, bool def) const;
    double readFloat(const std::string& section, const std::string& key, double def) const;

    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, long long value);
    void writeBool(const std::string& section, const std::string& key, bool value);
    void writeFloat(const std::string& section, const std::string& key, double value);

private:
    struct Entry { std::string key, value; };
    struct Section { std::string name; std::vector<Entry> entries; };
    Section* findSection(const std::string& name);
    const Section* findSection(const std::string& name) const;
    std::string path_;
    std::string readError_;
    std::vector<Section> sections_;
};

}  // namespace spirelo
