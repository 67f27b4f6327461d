// The sound window's save commands as logic: which files each writes, in which order, on
// which condition, and what it reports. The window supplies the writers through the callbacks.
#pragma once

#include <functional>
#include <string>

namespace spirelo {

struct ProjectSaveHost {
    std::function<bool(const std::string&)> fileExists;
    std::function<bool()> saveTrack;    // the track file (each writer reports its own failure)
    std::function<bool()> saveSeq;      // the sequencer file
    std::function<bool()> saveNotes;    // the sequencer window's notes beside it
    std::function<bool()> writeIni;     // the settings file
    std::function<void(const std::string&)> status;        // the status-bar message
    std::function<void(const std::string&)> musicCaption;  // the music list group's caption
};

// The file names the commands work on, read when they run (a writer may change them).
struct ProjectFiles {
    const std::string* seqFile = nullptr;
    const std::string* trackFile = nullptr;
    const std::string* musicListFile = nullptr;
};

// "Save file sequenser": .seq, notes, settings, the music caption and "SaveSeqFile <path>".
// A missing .seq gives "No SaveSeqFile !" only; a failed write stops. True when all was written.
bool SaveSequencerSide(const ProjectFiles& f, const ProjectSaveHost& h);
// "Save All Project": .trk, .seq, settings and "FileTrack <path>"; nothing without the .trk.
bool SaveWholeProject(const ProjectFiles& f, const ProjectSaveHost& h);
// The volume autosave: as the sequencer side without touching the caption there; the caption
// follows afterwards, only when the music list file exists, whether or not anything was written.
bool AutoSaveSequencer(const ProjectFiles& f, const ProjectSaveHost& h);

}  // namespace spirelo
