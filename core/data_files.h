// What the show's block files share: how an open ended, the default names "beside the program",
// and the one way a failed read or save is told to the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include "common/file_io.h"

namespace spirelo {

enum class FileLoad {
    Loaded,        // the current layout was read
    OldLayout,     // an older layout was read (and, for the sequencer file, rewritten)
    Missing,       // no such file: logged, the default name taken, nothing read
    UnknownSize,   // a size no layout has: logged, the user told, nothing changed
    ReadError,     // the file could not be read whole: the user told, nothing changed
};

// The program's path beside the program without its extension: the stem of every file the
// controller keeps beside itself (".ini", ".Log", ".trk", ".seq", ".def").
std::string ProgramStem();

// The whole file, read into a buffer kept for the next open: the block files are megabytes,
// and a fresh zero-filled buffer per open would cost as much as the read itself. The bytes
// stay valid until the next call. Fails, with nothing read, when the file cannot be read whole.
// The size is checked before anything is read: a file of a size knownSize refuses is not read
// (data stays null, size tells the file's size), so a huge file opened by mistake costs nothing.
struct FileBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
};
IoResult ReadBlockFile(const std::string& path, FileBytes& out, bool (*knownSize)(size_t));

// One block of a show file: where in the show data it lives and how many bytes it has. D is
// ShowData for reading a file into it, const ShowData for writing one out.
template <class D>
struct Block {
    std::conditional_t<std::is_const_v<D>, const void*, void*> p;
    size_t n;
};

// The file's bytes: every block in order.
template <class Blocks>
BlockWriter WriteBlocks(const Blocks& blocks, size_t fileSize) {
    BlockWriter out(fileSize);
    for (const auto& b : blocks) out.put(b.p, b.n);
    return out;
}

// One kind of the show's block files, for OpenShowBlockFile.
struct BlockFileKind {
    const char* logProcedure;       // the event log's procedure name
    const char* missingLogText;     // the log text for a missing file
    const char* unknownSizeText;    // the first line of the box for a size no layout has
    size_t currentSize;
    const char* (*oldLayoutMessage)(size_t size);   // the box for an older layout, else nullptr
    bool (*knownSize)(size_t size);                 // the current size or an older layout's
};

// The checks every block file's open makes before its bytes are applied. A missing file takes
// defaultName; a file that cannot be used (unreadable, unknown size) leaves keepName, or
// defaultName when there is none, so a later save never overwrites a file that was not read.
// On Loaded or OldLayout nameField is name, the old layout's box has been shown and bytes
// hold the file.
FileLoad OpenShowBlockFile(const std::string& name, const std::string& defaultName, const std::string* keepName,
                           const BlockFileKind& kind, std::string& nameField, FileBytes& bytes);

// A digest of a show file's contents, block by block, to know whether what is in memory still
// matches what was last read or written. Not a checksum of the file: a block is fed as it lies.
class ContentDigest {
public:
    void add(const void* data, size_t size);
    // A table of 16-byte names as the program reads them: a byte below 33 is a blank (reading
    // a name writes the blank in, so a zero-padded name is the same name padded with blanks).
    void addNames(const uint8_t* names, size_t size);
    uint64_t value() const;
private:
    uint64_t lane_[8] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull, 0x082EFA98EC4E6C89ull,
                         0x452821E638D01377ull, 0xBE5466CF34E90C6Cull, 0xC0AC29B7C97C50DDull, 0x3F84D5B5B5470917ull};
};

// Tells the user that reading or writing path failed, with the system's text for it.
void ReportReadFailure(const std::string& path, const IoResult& r);
void ReportWriteFailure(const std::string& path, const IoResult& r);

}  // namespace spirelo
