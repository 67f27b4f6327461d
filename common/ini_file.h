// The project's ini file: sections and keys in file order, keys and section names compared
// case-insensitively, values kept as text. Booleans are "1"/"0"; floats are written with "."
// and read with "." or ",". Values holding CR or LF are written so that they read back whole.
#pragma once

#include <string>
#include <vector>

namespace spirelo {

class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string path);   // loads the file when it exists (UTF-8, or CP1251 when not valid UTF-8)

    const std::string& path() const { return path_; }
    bool load();                          // re-reads path(); false (and empty) when missing
    bool save(std::string* error = nullptr) const;   // atomic; error gets the system's text
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
    std::vector<Section> sections_;
};

}  // namespace spirelo
