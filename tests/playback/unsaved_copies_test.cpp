// Changes not saved when the show list moves on: what counts as a change, the copies beside
// the show's files, and the notice of a newer copy at a later load.
#include "playback/unsaved_copies.h"

#include "core/event_log.h"
#include "core/seq_file.h"
#include "core/text_routines.h"
#include "core/track_file.h"
#include "tests/core/core_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;
using namespace spirelo;

namespace {

class UnsavedCopies : public test::CoreFiles {
protected:
    void SetUp() override {
        CoreFiles::SetUp();
        d->sNameFileProject = path("park.trk");
        d->sNameFileSeq = path("park.seq");
        SetName(0, "Evening");
        d->SequencerStepData[3][10][0] = 200;
        ASSERT_TRUE(SaveTrackFile(*d));
        ASSERT_TRUE(SaveSeqFile(*d));
        trackBefore = ReadBytes(path("park.trk"));
        seqBefore = ReadBytes(path("park.seq"));
    }
    void SetName(int track, const char* name) {
        std::memset(d->TrackNames[track], ' ', kNameLen);
        std::memcpy(d->TrackNames[track], name, std::strlen(name));
    }
    // Puts the file's time a minute before now, so the order of file and copy is clear on any
    // file system's clock.
    void Age(const std::string& p) {
        fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::minutes(1));
    }
    std::string Log() { return ReadText(LogFilePath()); }

    std::vector<uint8_t> trackBefore, seqBefore;
};

TEST_F(UnsavedCopies, WhatMovesWhileAShowPlaysOrIsLookedAtIsNoChange) {
    std::memcpy(d->TrackNames[3], "Arc\0\0\0\0\0\0\0\0\0\0\0\0\0", 16);
    std::memcpy(d->SequencerNames[5], "Jets\0\0\0\0\0\0\0\0\0\0\0\0", 16);
    ASSERT_TRUE(SaveTrackFile(*d));
    ASSERT_TRUE(SaveSeqFile(*d));
    EXPECT_EQ(KeepUnsavedChanges(*d), "");
    d->TrackEditState[4] = 3;              // the sound window's page
    d->TrackEditState[5] = 7;              // the record track
    d->TrackEditState[6] = 9;              // a watched track
    d->SequencerRunState[2] = kRunPlay;
    d->SequencerViewPositions[1] = 40;
    d->EditorSettings[9] = 4;              // the shown sequencer
    d->ProgramOptions[6] = 333;            // the sequencer window's place
    d->ProgramOptions[24] = 5;             // the current show
    d->ProgramOptions[30] = 2;             // the current music
    d->ScheduleHour[0] = 21;               // the clock the schedule compares with
    d->ScheduleMinute[0] = 5;
    TrackNameText(*d, 3);                  // names read by the views: zero padding becomes blanks
    SeqNameText(*d, 5);
    EXPECT_FALSE(TrackChangedSinceSaved(*d));
    EXPECT_FALSE(SeqChangedSinceSaved(*d));
    EXPECT_EQ(KeepUnsavedChanges(*d), "");
    EXPECT_FALSE(fs::exists(path("park.trk.unsaved")));
    EXPECT_FALSE(fs::exists(path("park.seq.unsaved")));

    // The show's own values are changes.
    struct Case { const char* what; void (*change)(ShowData&); bool track; };
    const Case cases[] = {
        {"show volume", [](ShowData& s) { s.TrackEditState[3] = 77; }, true},
        {"key kit", [](ShowData& s) { s.TrackEditState[9] = 2; }, true},
        {"a step", [](ShowData& s) { s.TrackScene[4][100] = 9; }, true},
        {"an effect", [](ShowData& s) { s.EffectFinish[1] = 400; }, true},
        {"a scene", [](ShowData& s) { s.SequencerStepData[0][1][2] = 1; }, false},
        {"the end action", [](ShowData& s) { s.ProgramOptions[3] = 2; }, false},
        {"a level button", [](ShowData& s) { s.EditorSettings[12] = 100; }, false},
        {"the schedule", [](ShowData& s) { s.ScheduleHour[1] = 20; }, false},
        {"a track name", [](ShowData& s) { s.TrackNames[3][0] = 'B'; }, true},
        {"a sequencer name", [](ShowData& s) { s.SequencerNames[5][0] = 'X'; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto fresh = MakeShowData();
        ResetShowData(*fresh);
        ASSERT_EQ(ApplyTrackFileBytes(*fresh, trackBefore.data(), trackBefore.size()), true);
        ASSERT_EQ(ApplySeqFileBytes(*fresh, seqBefore.data(), seqBefore.size()), true);
        NoteTrackSaved(*fresh);
        NoteSeqSaved(*fresh);
        c.change(*fresh);
        EXPECT_EQ(TrackChangedSinceSaved(*fresh), c.track);
        EXPECT_EQ(SeqChangedSinceSaved(*fresh), !c.track);
    }
}

TEST_F(UnsavedCopies, AChangedShowIsKeptBesideItsFileOnce) {
    SetName(0, "Late evening");
    const std::string copy = path("park.trk.unsaved");
    EXPECT_EQ(KeepUnsavedChanges(*d), "Unsaved changes kept in " + copy);
    EXPECT_EQ(ReadBytes(path("park.trk")), trackBefore) << "the show's own file is not touched";
    const std::vector<uint8_t> kept = ReadBytes(copy);
    ASSERT_EQ(kept.size(), kTrackFileSize);
    EXPECT_EQ(std::string(kept.begin(), kept.begin() + 16), "Late evening    ");
    EXPECT_FALSE(fs::exists(path("park.seq.unsaved"))) << "the sequencer file had no change";
    EXPECT_NE(Log().find("unsaved_changes_kept_" + copy), std::string::npos);
    EXPECT_TRUE(messages->log.empty()) << "nothing asked, no box";

    // Kept: not written again until something else changes.
    EXPECT_EQ(KeepUnsavedChanges(*d), "");

    // Both files changed: both copies, one line.
    SetName(1, "Fountain");
    d->SequencerStepData[3][10][0] = 17;
    EXPECT_EQ(KeepUnsavedChanges(*d),
              "Unsaved changes kept in " + copy + ", " + path("park.seq.unsaved"));
    EXPECT_EQ(ReadBytes(path("park.seq")), seqBefore);
    EXPECT_EQ(ReadBytes(path("park.seq.unsaved")), SeqFileBytes(*d));
}

TEST_F(UnsavedCopies, ACopyThatCannotBeWrittenIsSaidAndTriedAgain) {
    d->sNameFileProject = path("gone/park.trk");
    SetName(0, "Night");
    const std::string expect = "Unsaved changes NOT kept in " + path("gone/park.trk.unsaved") + " (";
    EXPECT_EQ(KeepUnsavedChanges(*d).rfind(expect, 0), 0u);
    EXPECT_TRUE(TrackChangedSinceSaved(*d));
    EXPECT_EQ(KeepUnsavedChanges(*d).rfind(expect, 0), 0u);
    EXPECT_TRUE(messages->log.empty());
}

// Opens that read nothing leave the changes unsaved; the start's open is the show to keep.
TEST_F(UnsavedCopies, AnOpenThatReadsNothingKeepsTheChangesUnsaved) {
    SetName(0, "Changed");
    OpenTrackFile(*d, path("missing.trk"));
    EXPECT_TRUE(TrackChangedSinceSaved(*d));
    d->sNameFileProject = path("missing.trk");
    OpenTrackFile(*d);
    EXPECT_FALSE(TrackChangedSinceSaved(*d));

    ASSERT_EQ(OpenTrackFile(*d, path("park.trk")), FileLoad::Loaded);
    EXPECT_FALSE(TrackChangedSinceSaved(*d));
    SetName(0, "Changed again");
    EXPECT_TRUE(TrackChangedSinceSaved(*d));
    ASSERT_TRUE(SaveTrackFile(*d));
    EXPECT_FALSE(TrackChangedSinceSaved(*d));
}

TEST_F(UnsavedCopies, ALaterLoadNamesACopyNewerThanItsFile) {
    const std::string trackCopy = path("park.trk.unsaved"), seqCopy = path("park.seq.unsaved");
    EXPECT_EQ(NewerUnsavedCopies(*d, true, true), "");
    SetName(0, "Late evening");
    d->SequencerStepData[3][10][0] = 17;
    Age(path("park.trk"));
    Age(path("park.seq"));
    ASSERT_NE(KeepUnsavedChanges(*d), "");
    EXPECT_EQ(NewerUnsavedCopies(*d, true, true), "Newer unsaved copy: " + trackCopy + ", " + seqCopy);
    EXPECT_EQ(NewerUnsavedCopies(*d, false, true), "Newer unsaved copy: " + seqCopy);
    EXPECT_NE(Log().find("newer_unsaved_copy_" + trackCopy), std::string::npos);

    // Saved since: the copy is not newer than the show and nothing is said.
    ASSERT_TRUE(SaveTrackFile(*d));
    EXPECT_EQ(NewerUnsavedCopies(*d, true, false), "");
    // A copy whose show is gone is named.
    fs::remove(path("park.trk"));
    EXPECT_EQ(NewerUnsavedCopies(*d, true, false), "Newer unsaved copy: " + trackCopy);
}

}  // namespace
