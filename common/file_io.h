// Whole-file reads and atomic saves: a save writes a temporary file beside the target, flushes
// it and renames it over the target, so a failed save leaves the old file whole.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace spirelo {

struct IoResult {
    bool ok = true;
    int error = 0;           // errno of the failing call
    std::string message;     // the system's text for it (strerror)
    // A failed save whose new file is in place all the same: only its folder could not be
    // synced, so a power cut may still bring the old file back.
    bool replaced = false;
    explicit operator bool() const { return ok; }
};

// The system's text of a failed save and what it left on disk, for the report.
std::string FailedSaveText(const IoResult& r);

bool FileExists(const std::string& path);
// Opens path read-only, refusing a FIFO, device or socket before anything could block on it;
// st, when given, gets what the check found (its size for the read that follows).
IoResult OpenRegularFile(const std::string& path, int& fd, struct stat* st = nullptr);
// Reads the whole regular file into out; fails (out untouched) when it cannot be read completely
// or is larger than maxBytes (EFBIG), before reading any of it.
IoResult ReadBoundedFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out);
IoResult ReadBoundedFile(const std::string& path, size_t maxBytes, std::string& out);
// The read failed for what the file is (not a regular file, over the bound), not for where it
// is or whether it is there: what a loader that stays quiet about a missing file still says.
bool IsUnfitFile(const IoResult& r);
// The file at path is there but could not be read, for any reason (a failing disk, no
// permission, its kind or size): unlike a missing file, or one in a folder the program refuses
// as a whole, what a loader tells with the file's name.
bool IsReadFailure(const std::string& path, const IoResult& r);

// A notes file its loader could not read leaves the memo empty; saving that empty memo would
// replace the file the operator was told could not be read (a large file by nothing, a pipe by a
// file, notes on a failing disk by nothing). The file is left alone until the memo holds
// something again.
class RefusedTextFile {
public:
    // After each load of the memo from path: remembers path when the read failed.
    void loaded(const std::string& path, const IoResult& r);
    // Whether a save of text to path must leave the file as it is.
    bool keeps(const std::string& path, std::string_view text) const;
    // After a save wrote path: it holds the memo now.
    void saved(const std::string& path);
private:
    std::string path_;
};
// As ReadBoundedFile, for files whose size the caller has already checked.
IoResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);
IoResult ReadWholeFile(const std::string& path, std::string& out);
// The first limit bytes of the file (all of a shorter one); the rest is never read.
IoResult ReadFileHead(const std::string& path, size_t limit, std::vector<uint8_t>& out);
// After the rename a save syncs the new file's folder, so the rename itself survives a power cut;
// a folder sync that fails makes the save fail (with replaced set).
IoResult WriteFileAtomic(const std::string& path, const void* data, size_t size);
inline IoResult WriteFileAtomic(const std::string& path, std::string_view text) {
    return WriteFileAtomic(path, text.data(), text.size());
}
// Appends (creating when missing): for the raw recording and test logs, where atomic replace is not wanted.
IoResult AppendToFile(const std::string& path, const void* data, size_t size);

// Helper for the block files: collects blocks in order, then saves atomically.
class BlockWriter {
public:
    explicit BlockWriter(size_t reserve = 0) { buf_.reserve(reserve); }
    void put(const void* data, size_t size);
    void zeros(size_t size);
    const std::vector<uint8_t>& bytes() const { return buf_; }
    std::vector<uint8_t> take() { return std::move(buf_); }   // the bytes without a copy
    IoResult saveTo(const std::string& path) const { return WriteFileAtomic(path, buf_.data(), buf_.size()); }
private:
    std::vector<uint8_t> buf_;
};

// Reads blocks in order from a whole-file buffer; never reads past its end.
class BlockReader {
public:
    BlockReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool get(void* dest, size_t size);   // false (dest untouched) when fewer bytes remain
    bool skip(size_t size);
    size_t offset() const { return pos_; }
    size_t remaining() const { return size_ - pos_; }
private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// The save's own temporary files end so, and only these are ever removed as left-overs (with
// the write probe's, which are named the same way; earlier ones were ".spirelo-probe-XXXXXX").
inline constexpr const char* kTempSuffix = ".spirelo-save";
bool IsOwnTempName(const std::string& entry);   // ".<name>.<six characters>.spirelo-save"

// Whether a save follows a symbolic link: not one that another user (root aside) made in a
// folder every user can write to.
bool SaveMayFollowLink(uid_t linkOwner, mode_t folderMode, uid_t user);

// A folder the program must not use (another user's, or open to others): every read, save and
// existence test of a path in it fails with EACCES and why, without touching it.
void RefuseFolder(const std::string& dir, const std::string& why);
std::string FolderRefusal(const std::string& path);   // why, "" when the path may be used

// Test seam of the file layer; the programs never set it. onOpen runs before each open of a file
// for reading, with its path: it may change the file there (as another program could at that
// moment) and returns 0, or an errno that the read then fails with (a failing disk: EIO).
// onSync stands in for each fsync of a save, of its new file (folder false) and then of the
// folder (true), and returns 0 or the errno to fail with.
struct FileLayerSeam {
    std::function<int(const std::string& path)> onOpen;
    std::function<int(int fd, bool folder)> onSync;
};
void SetFileLayerSeam(FileLayerSeam seam);   // an empty one restores the plain calls

std::string DirName(const std::string& path);    // "" for a bare name
std::string BaseName(const std::string& path);

}  // namespace spirelo
