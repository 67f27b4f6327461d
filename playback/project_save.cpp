#include "playback/project_save.h"

namespace spirelo {

namespace {

bool WriteSeqSide(const ProjectFiles& f, const ProjectSaveHost& h) {
    if (!h.fileExists(*f.seqFile)) {
        h.status("No SaveSeqFile !");
        return false;
    }
    return h.saveSeq() && h.saveNotes() && h.writeIni();
}

}  // namespace

bool SaveSequencerSide(const ProjectFiles& f, const ProjectSaveHost& h) {
    if (!WriteSeqSide(f, h)) return false;
    h.musicCaption("Music List " + *f.musicListFile);
    h.status("SaveSeqFile " + *f.seqFile);
    return true;
}

bool SaveWholeProject(const ProjectFiles& f, const ProjectSaveHost& h) {
    if (!h.fileExists(*f.trackFile)) return false;
    if (!h.saveTrack() || !h.saveSeq() || !h.writeIni()) return false;
    h.status("FileTrack " + *f.trackFile);
    return true;
}

bool AutoSaveSequencer(const ProjectFiles& f, const ProjectSaveHost& h) {
    const bool written = WriteSeqSide(f, h);
    if (written) h.status("SaveSeqFile " + *f.seqFile);
    if (h.fileExists(*f.musicListFile)) h.musicCaption("Music List " + *f.musicListFile);
    return written;
}

}  // namespace spirelo
