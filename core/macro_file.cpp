#include "core/macro_file.h"

#include <bit>
#include <cstring>
#include <vector>

#include "core/event_log.h"
#include "core/text_routines.h"

namespace spirelo {

static_assert(std::endian::native == std::endian::little, "the macro file is a little-endian dump");
static_assert(sizeof(ShowData::MacroTable) == kMacroFileSize);

FileLoad OpenMacrosFile(ShowData& d) {
    d.sNameFileMacro = StripExt(d.sNameFileSeq) + ".mcr";
    if (!FileExists(d.sNameFileMacro)) {
        WriteLog("ReadSave", "OpenMacrosFile", "File not found_sNameFileMacro");
        return FileLoad::Missing;
    }
    std::vector<uint8_t> bytes;
    if (IoResult r = ReadFileHead(d.sNameFileMacro, kMacroFileSize, bytes); !r) {
        ReportReadFailure(d.sNameFileMacro, r);
        return FileLoad::ReadError;
    }
    if (!ApplyMacroFileBytes(d, bytes.data(), bytes.size())) {
        ReportReadFailure(d.sNameFileMacro,
                          IoResult{false, 0, "Read beyond end of file (" + std::to_string(bytes.size()) +
                                                 " of " + std::to_string(kMacroFileSize) + " bytes)"});
        return FileLoad::UnknownSize;
    }
    return FileLoad::Loaded;
}

bool ApplyMacroFileBytes(ShowData& d, const uint8_t* data, size_t size) {
    if (size < kMacroFileSize) return false;
    // A longer file is read in its first 32,768 bytes.
    std::memcpy(d.MacroTable, data, kMacroFileSize);
    return true;
}

IoResult SaveMacrosFile(ShowData& d) {
    d.sNameFileMacro = StripExt(d.sNameFileSeq) + ".mcr";
    IoResult r = WriteFileAtomic(d.sNameFileMacro, d.MacroTable, kMacroFileSize);
    if (!r) ReportWriteFailure(d.sNameFileMacro, r);
    return r;
}

}  // namespace spirelo
