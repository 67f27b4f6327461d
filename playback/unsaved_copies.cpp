#include "playback/unsaved_copies.h"

#include "common/file_io.h"
#include "core/event_log.h"
#include "core/seq_file.h"
#include "core/text_routines.h"
#include "core/track_file.h"

#include <sys/stat.h>

#include <vector>

namespace spirelo {

namespace {

// One of the two files a show is saved in.
struct ShowFile {
    std::string path;
    bool changed;
    std::vector<uint8_t> (*bytes)(const ShowData&);
    void (*note)(ShowData&);
    const char* logWhere;
};

std::string TrackPath(const ShowData& d) { return StripExt(d.sNameFileProject) + ".trk"; }

std::string Joined(const std::vector<std::string>& parts) {
    std::string s;
    for (const std::string& p : parts) s += (s.empty() ? "" : ", ") + p;
    return s;
}

bool ModifiedAt(const std::string& path, struct timespec& at) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    at = st.st_mtim;
    return true;
}

bool NewerThanItsFile(const std::string& copy, const std::string& file) {
    struct timespec c{}, f{};
    if (!ModifiedAt(copy, c)) return false;
    if (!ModifiedAt(file, f)) return true;
    return c.tv_sec != f.tv_sec ? c.tv_sec > f.tv_sec : c.tv_nsec > f.tv_nsec;
}

}  // namespace

std::string UnsavedCopyName(const std::string& file) { return file + ".unsaved"; }

std::string KeepUnsavedChanges(ShowData& d) {
    const ShowFile files[] = {
        {TrackPath(d), TrackChangedSinceSaved(d), TrackFileBytes, NoteTrackSaved, "KeepUnsavedTrack"},
        {d.sNameFileSeq, SeqChangedSinceSaved(d), SeqFileBytes, NoteSeqSaved, "KeepUnsavedSeq"},
    };
    std::vector<std::string> kept, lost;
    for (const ShowFile& f : files) {
        if (!f.changed || f.path.empty()) continue;
        const std::string copy = UnsavedCopyName(f.path);
        const std::vector<uint8_t> bytes = f.bytes(d);
        if (const IoResult r = WriteFileAtomic(copy, bytes.data(), bytes.size()); r) {
            f.note(d);
            WriteLog("ReadSave", f.logWhere, "unsaved_changes_kept_" + copy);
            kept.push_back(copy);
        } else {
            // Not marked as kept: the next change of show tries again.
            WriteLog("ReadSave", f.logWhere, "unsaved_changes_not_kept_" + copy + "_" + r.message);
            lost.push_back(copy + " (" + r.message + ")");
        }
    }
    std::string line;
    if (!kept.empty()) line = "Unsaved changes kept in " + Joined(kept);
    if (!lost.empty()) line += (line.empty() ? "" : "; ") + std::string("Unsaved changes NOT kept in ") + Joined(lost);
    return line;
}

std::string NewerUnsavedCopies(const ShowData& d, bool track, bool seq) {
    std::vector<std::string> newer;
    auto look = [&](const std::string& file, const char* where) {
        const std::string copy = UnsavedCopyName(file);
        if (file.empty() || !NewerThanItsFile(copy, file)) return;
        WriteLog("ReadSave", where, "newer_unsaved_copy_" + copy);
        newer.push_back(copy);
    };
    if (track) look(TrackPath(d), "NewerUnsavedTrack");
    if (seq) look(d.sNameFileSeq, "NewerUnsavedSeq");
    return newer.empty() ? std::string() : "Newer unsaved copy: " + Joined(newer);
}

}  // namespace spirelo
