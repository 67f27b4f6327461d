#include "common/ini_file.h"

#include "common/file_io.h"
#include "common/text_codec.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <unordered_map>

namespace spirelo {

namespace {
// Lower case of ASCII and of the Cyrillic letters, on UTF-8 text: keys in Russian compare
// case-insensitively too.
std::string Fold(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        } else if ((c == 0xD0) && i + 1 < s.size()) {
            unsigned char d = static_cast<unsigned char>(s[i + 1]);
            uint32_t cp = ((c & 0x1F) << 6) | (d & 0x3F);
            if (cp >= 0x0410 && cp <= 0x042F) cp += 0x20;
            else if (cp >= 0x0400 && cp <= 0x040F) cp += 0x50;
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool SameKey(const std::string& a, const std::string& b) { return a == b || Fold(a) == Fold(b); }

std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

// Values that would break the line structure, or lose edge spaces or quotes on the way back,
// are written quoted with backslash escapes; reading drops surrounding quotes as ini readers do.
bool NeedsQuoting(const std::string& v) {
    if (v.empty()) return false;
    if (v.find_first_of("\r\n") != std::string::npos) return true;
    if (v.front() == ' ' || v.front() == '\t' || v.back() == ' ' || v.back() == '\t') return true;
    return v.front() == '"' && v.back() == '"' && v.size() >= 2;
}

std::string Quote(const std::string& v) {
    std::string out = "\"";
    for (char c : v) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

std::string Unquote(std::string_view v) {
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') return std::string(v);
    std::string out;
    for (size_t i = 1; i + 1 < v.size(); ++i) {
        char c = v[i];
        if (c == '\\' && i + 2 < v.size()) {
            char n = v[++i];
            switch (n) {
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case '\\': out += '\\'; break;
                case '"': out += '"'; break;
                default: out += '\\'; out += n;
            }
        } else {
            out += c;
        }
    }
    return out;
}

// An optional single sign, then decimal digits (or hex after "0x" or "$"), nothing else; a
// value outside the 64-bit range is refused rather than wrapped.
bool ParseInteger(const std::string& t, long long& out) {
    size_t i = 0;
    bool neg = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) neg = t[i++] == '-';
    int base = 10;
    if (t.compare(i, 2, "0x") == 0 || t.compare(i, 2, "0X") == 0) { base = 16; i += 2; }
    else if (i < t.size() && t[i] == '$') { base = 16; i += 1; }
    // from_chars would take a second sign itself.
    if (i >= t.size() || t[i] == '-' || t[i] == '+') return false;
    unsigned long long mag = 0;
    auto [p, ec] = std::from_chars(t.data() + i, t.data() + t.size(), mag, base);
    if (ec != std::errc() || p != t.data() + t.size()) return false;
    constexpr unsigned long long kMax = static_cast<unsigned long long>(INT64_MAX);
    if (mag > kMax + (neg ? 1 : 0)) return false;
    out = neg ? static_cast<long long>(0ULL - mag) : static_cast<long long>(mag);
    return true;
}
}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) { load(); }

bool IniFile::load() {
    sections_.clear();
    readError_.clear();
    std::string text;
    if (path_.empty()) return false;
    if (IoResult r = ReadBoundedFile(path_, kMaxIniBytes, text); !r) {
        // Missing is a new file; a folder in its place fails at the save as before.
        if (r.error != ENOENT && r.error != EISDIR) readError_ = r.message.empty() ? "read error" : r.message;
        return false;
    }
    loadFromText(TextFileToUtf8(text));
    return true;
}

void IniFile::loadFromText(const std::string& text) {
    sections_.clear();
    // Folded names to their places, so that a file of many keys loads in time linear in its size.
    std::unordered_map<std::string, size_t> sectionAt;
    std::vector<std::unordered_map<std::string, size_t>> keyAt;
    constexpr size_t kNone = SIZE_MAX;
    size_t cur = kNone;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        const std::string_view line = Trim(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            if (end >= text.size()) break;
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            std::string name(Trim(line.substr(1, line.size() - 2)));
            auto [it, added] = sectionAt.try_emplace(Fold(name), sections_.size());
            if (added) {
                sections_.push_back({std::move(name), {}});
                keyAt.emplace_back();
            }
            cur = it->second;
        } else if (cur != kNone && line.front() != '[') {   // a broken section line is no key: saved, it would read as a section
            auto eq = line.find('=');
            if (eq != std::string::npos) {
                std::string key(Trim(line.substr(0, eq)));
                std::string value = Unquote(Trim(line.substr(eq + 1)));
                std::vector<Entry>& entries = sections_[cur].entries;
                auto [it, added] = keyAt[cur].try_emplace(Fold(key), entries.size());
                if (added) entries.push_back({std::move(key), std::move(value)});
                else entries[it->second].value = std::move(value);
            }
        }
        if (end >= text.size()) break;
    }
}

std::string IniFile::toText() const {
    std::string out;
    for (const auto& s : sections_) {
        out += "[" + s.name + "]\n";
        for (const auto& e : s.entries)
            out += e.key + "=" + (NeedsQuoting(e.value) ? Quote(e.value) : e.value) + "\n";
        out += "\n";
    }
    return out;
}

IoResult IniFile::save(std::string* error) const {
    if (unreadable()) {
        const std::string why = "not written over, it could not be read: " + readError_;
        if (error) *error = why;
        return IoResult{false, 0, why};
    }
    IoResult r = WriteFileAtomic(path_, toText());
    if (!r && error) *error = r.message;
    return r;
}

IniFile::Section* IniFile::findSection(const std::string& name) {
    for (auto& s : sections_)
        if (SameKey(s.name, name)) return &s;
    return nullptr;
}

const IniFile::Section* IniFile::findSection(const std::string& name) const {
    for (const auto& s : sections_)
        if (SameKey(s.name, name)) return &s;
    return nullptr;
}

bool IniFile::hasSection(const std::string& section) const { return findSection(section) != nullptr; }

bool IniFile::hasKey(const std::string& section, const std::string& key) const {
    const Section* s = findSection(section);
    if (!s) return false;
    for (const auto& e : s->entries)
        if (SameKey(e.key, key)) return true;
    return false;
}

std::vector<std::string> IniFile::sections() const {
    std::vector<std::string> out;
    for (const auto& s : sections_) out.push_back(s.name);
    return out;
}

std::vector<std::string> IniFile::keys(const std::string& section) const {
    std::vector<std::string> out;
    if (const Section* s = findSection(section))
        for (const auto& e : s->entries) out.push_back(e.key);
    return out;
}

void IniFile::eraseSection(const std::string& section) {
    sections_.erase(std::remove_if(sections_.begin(), sections_.end(),
                                   [&](const Section& s) { return SameKey(s.name, section); }),
                    sections_.end());
}

void IniFile::eraseKey(const std::string& section, const std::string& key) {
    if (Section* s = findSection(section))
        s->entries.erase(std::remove_if(s->entries.begin(), s->entries.end(),
                                        [&](const Entry& e) { return SameKey(e.key, key); }),
                         s->entries.end());
}

std::string IniFile::readString(const std::string& section, const std::string& key, const std::string& def) const {
    if (const Section* s = findSection(section))
        for (const auto& e : s->entries)
            if (SameKey(e.key, key)) return e.value;
    return def;
}

long long IniFile::readInteger(const std::string& section, const std::string& key, long long def) const {
    if (!hasKey(section, key)) return def;
    long long v;
    return ParseInteger(readString(section, key, ""), v) ? v : def;
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::readFloat(const std::string& section, const std::string& key, double def) const {
    if (!hasKey(section, key)) return def;
    std::string t(Trim(readString(section, key, "")));
    std::replace(t.begin(), t.end(), ',', '.');
    if (t.empty()) return def;
    double v = 0;
    const char* b = t.data();
    if (*b == '+') ++b;
    auto [p, ec] = std::from_chars(b, t.data() + t.size(), v);
    if (ec != std::errc() || p != t.data() + t.size()) return def;
    return v;
}

void IniFile::writeString(const std::string& section, const std::string& key, const std::string& value) {
    Section* s = findSection(section);
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    for (auto& e : s->entries)
        if (SameKey(e.key, key)) { e.value = value; return; }
    s->entries.push_back({key, value});
}

void IniFile::writeInteger(const std::string& section, const std::string& key, long long value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void IniFile::writeFloat(const std::string& section, const std::string& key, double value) {
    char buf[64];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value);
    writeString(section, key, ec == std::errc() ? std::string(buf, p) : "0");
}

}  // namespace spirelo
