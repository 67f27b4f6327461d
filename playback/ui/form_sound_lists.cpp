// The sound window's two lists: the show play list (Play List page) with the loading of the
// current show, and the background music list (Schedule page) with its player and volume.
#include "playback/ui/form_sound.h"

#include "common/file_io.h"
#include "common/ui/qt_helpers.h"
#include "core/data_files.h"
#include "core/event_log.h"
#include "core/settings_file.h"
#include "core/show_data.h"
#include "core/text_routines.h"
#include "core/track_file.h"
#include "core/ui/form_maim.h"
#include "dmx/ui/form_usb_com.h"
#include "platform/audio.h"
#include "platform/media_player.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "playback/modes.h"
#include "playback/play_lists.h"
#include "playback/unsaved_copies.h"
#include "sequencer/ui/form_sequenser.h"

#include <QFileInfo>

#include <string>
#include <vector>

using namespace spirelo;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::vector<std::string> Entries(const QListWidget* box) {
    std::vector<std::string> items;
    items.reserve(size_t(box->count()));
    for (int i = 0; i < box->count(); ++i) items.push_back(box->item(i)->text().toStdString());
    return items;
}

void FillList(QListWidget* box, const std::vector<std::string>& items) {
    box->clear();
    for (const std::string& s : items) box->addItem(Q(s));
}

// Fills box from a list file and selects the stored row (0 when it no longer exists); true when
// the file gave at least one line.
bool LoadListBox(QListWidget* box, const std::string& file, int32_t& row, QLabel* countLabel) {
    std::vector<std::string> items;
    if (file.empty()) return false;
    if (const IoResult r = ReadPathList(file, items); !r) {
        if (IsReadFailure(file, r)) ReportReadFailure(file, r);
        return false;
    }
    FillList(box, items);
    if (box->count() == 0) return false;
    row = MusicListIndex(row, box->count());
    box->setCurrentRow(row);
    countLabel->setText(QString::number(box->count()));
    return true;
}

// Appends every file the dialog gave, in its order; the dialog opens next in their folder. A
// name that cannot be stored in a list is left out, and the operator told.
void AddChosenFiles(FileDialog& dlg, QListWidget* box, QWidget* parent) {
    if (!dlg.Execute(parent)) return;
    std::vector<std::string> refused;
    for (const QString& f : dlg.Files) {
        if (FitsPathList(f.toStdString())) box->addItem(f);
        else refused.push_back(f.toStdString());
    }
    if (!refused.empty()) Messages().warning(PathsNotAddedText(refused));
}

void DeleteSelected(QListWidget* box) {
    for (QListWidgetItem* item : box->selectedItems()) delete box->takeItem(box->row(item));
}

bool DragAccepted(SoundListBox* box, QObject* source, int x, int y) {
    const bool accept = source == box && box->currentItem() != nullptr;
    box->SetDropMark(accept ? box->TargetAt(x, y) : -2);
    return accept;
}

void DragDropped(SoundListBox* box, int x, int y) {
    if (!box->currentItem()) return;
    std::vector<std::string> items = Entries(box);
    const int moved = DropMove(items, box->currentRow(), box->TargetAt(x, y));
    FillList(box, items);
    box->setCurrentRow(moved);
}

}  // namespace

// ---- Files of the lists -------------------------------------------------------------------

void TFormSound::loadLists() {
    ShowData& d = ShowDataInstance();
    if (LoadListBox(ListBoxMusic, d.MusicListFileName, d.ProgramOptions[30], lblmaxFileMusic))
        dlgOpenMusicList.FileName = dlgSaveMusicList.FileName = Q(d.MusicListFileName);
    GroupBoxMUsicList->setTitle(Q("Music List " + d.MusicListFileName));
    // Only the selection is brought into the list: PlayListBoxCurrent applies its own rule to
    // the stored index.
    int32_t showRow = d.ProgramOptions[24];
    if (LoadListBox(ListBoxShow, d.ShowListFileName, showRow, lblmaxFileShow))
        SaveDialogShow.FileName = OpenDialogShow.FileName = Q(d.ShowListFileName);
}

void TFormSound::saveShowList() {
    if (!ListBoxShow || ListBoxShow->count() < 1) return;
    ShowData& d = ShowDataInstance();
    if (d.ShowListFileName.empty() || !FileExists(d.ShowListFileName))
        d.ShowListFileName = StripExt(BesideProgramPath()) + ".shw";
    const IoResult r = WritePathList(d.ShowListFileName, Entries(ListBoxShow));
    if (!r) {
        WriteLog("FormSound", "FormClose", "show_list_not_saved_" + r.message);
        ReportWriteFailure(d.ShowListFileName, r);   // the list is the operator's work
    }
    OpenDialogShow.FileName = SaveDialogShow.FileName = Q(d.ShowListFileName);
}

// ---- The show play list -------------------------------------------------------------------

void TFormSound::PlayListBoxCurrent() {
    ShowData& d = ShowDataInstance();
    ClearAreaForNewSong();
    const int count = ListBoxShow->count();
    if (count < 1) return;
    int& index = d.ProgramOptions[24];
    index = ShowListIndex(index, count);
    ListBoxShow->setCurrentRow(index);
    ListBoxShow->item(index)->setSelected(true);
    const std::string path = ListBoxShow->item(index)->text().toStdString();
    // A missing or unusable entry keeps the running show: its name, tracks and audio.
    const bool replaces = FileExists(path);
    // Changes not saved go to copies beside the show's files before they are replaced.
    const std::string kept = replaces ? KeepUnsavedChanges(d) : std::string();
    if (!kept.empty()) ShowFilesNotice(kept);
    const FileLoad r = replaces ? OpenTrackFile(d, path) : FileLoad::Missing;
    if (r == FileLoad::Loaded || r == FileLoad::OldLayout) {
        ShowTrackEditState();
        MadePlayFile();
        ShowFilesTakenUp(true, false, kept);
        if (FormMaim) {
            if (FormMaim->OpenDialogTrack) FormMaim->OpenDialogTrack->FileName = Q(d.sNameFileProject);
            if (FormMaim->SaveDialogTrack) FormMaim->SaveDialogTrack->FileName = Q(d.sNameFileProject);
            FormMaim->SetTrackCaption(Q(d.sNameFileProject));
            if (FormMaim->SpeedButtonSaveFile) FormMaim->SpeedButtonSaveFile->setEnabled(true);
        }
        OpenDialogListBox.FileName = Q(path);
    }
    if (FormSequenser) FormSequenser->RedrawAllarea();
    else WriteLog("FormSound", "PlayListBoxCurrent", "not_assigned_FormSequenser");
}

void TFormSound::setNextFile() {
    const int count = ListBoxShow->count();
    if (count < 1) return;
    ShowData& d = ShowDataInstance();
    d.AquelMode = kModeDance;
    ListBoxShow->clearSelection();
    d.ProgramOptions[24] = NextIndex(d.ProgramOptions[24], count);
    PlayListBoxCurrent();
}

void TFormSound::setPrevFile() {
    const int count = ListBoxShow->count();
    if (count < 1) return;
    ShowData& d = ShowDataInstance();
    d.AquelMode = kModeDance;
    ListBoxShow->clearSelection();
    d.ProgramOptions[24] = PrevIndex(d.ProgramOptions[24], count);
    PlayListBoxCurrent();
}

void TFormSound::SpeedButtonPrevClick() { setPrevFile(); }
void TFormSound::SpeedButtonFollowClick() { setNextFile(); }

void TFormSound::ListBoxShowClick() {
    ShowData& d = ShowDataInstance();
    if (d.ProgramOptions[11] == 1 || ListBoxShow->currentRow() < 0) return;
    d.ProgramOptions[24] = ListBoxShow->currentRow();
    PlayListBoxCurrent();
}

void TFormSound::ListBoxShowDblClick() {
    ShowData& d = ShowDataInstance();
    if (d.ProgramOptions[11] == 0 || ListBoxShow->currentRow() < 0) return;
    d.AquelMode = kModeDance;
    d.ProgramOptions[24] = ListBoxShow->currentRow();
    PlayListBoxCurrent();
}

bool TFormSound::ListBoxShowDragOver(QObject* source, int x, int y) {
    return DragAccepted(ListBoxShow, source, x, y);
}

void TFormSound::ListBoxShowDragDrop(int x, int y) { DragDropped(ListBoxShow, x, y); }

void TFormSound::SpeedButtonAddListClick() {
    AddChosenFiles(OpenDialogListBox, ListBoxShow, this);
    lblmaxFileShow->setText(QString::number(ListBoxShow->count()));
}

void TFormSound::SpeedButtonClearOneListClick() {
    if (ListBoxShow->count() < 1) return;
    DeleteSelected(ListBoxShow);
    lblmaxFileShow->setText(QString::number(ListBoxShow->count()));
}

void TFormSound::SpeedButtonListClearClick() {
    if (ListBoxShow->count() < 1) return;
    if (Messages().question("Delete all list files?") != Answer::Yes) return;
    ListBoxShow->clear();
    ShowDataInstance().ProgramOptions[24] = 0;
    lblmaxFileShow->setText("NO");
}

void TFormSound::SpeedButtonLoadListClick() {
    if (!OpenDialogShow.Execute(this)) return;
    ShowData& d = ShowDataInstance();
    std::vector<std::string> items;
    const std::string file = OpenDialogShow.FileName.toStdString();
    if (const IoResult r = ReadPathList(file, items); !r) {
        WriteLog("FormSound", "SpeedButtonLoadListClick", "show_list_not_read");
        ReportReadFailure(file, r);
        return;
    }
    FillList(ListBoxShow, items);
    SaveDialogShow.FileName = OpenDialogShow.FileName;
    d.ShowListFileName = file;
}

void TFormSound::SpeedButtonSaveListClick() {
    if (!SaveDialogShow.Execute(this)) return;
    ShowData& d = ShowDataInstance();
    const std::string file = SaveDialogShow.FileName.toStdString();
    const IoResult r = WritePathList(file, Entries(ListBoxShow));
    if (!r) {
        ReportWriteFailure(file, r);
        return;
    }
    OpenDialogShow.FileName = SaveDialogShow.FileName;
    d.ShowListFileName = file;
    WriteIniSettings(d, CustomerTextsOfDmxWindow());
}

// ---- The background music list ------------------------------------------------------------

void TFormSound::PlayListMusicCurrent() {
    ShowData& d = ShowDataInstance();
    const int count = ListBoxMusic->count();
    if (count < 1) return;
    int& index = d.ProgramOptions[30];
    index = MusicListIndex(index, count);
    ListBoxMusic->setCurrentRow(index);
    ListBoxMusic->item(index)->setSelected(true);
    lblmaxFileMusic->setText(QString::number(count));
    const std::string path = ListBoxMusic->item(index)->text().toStdString();
    if (!FileExists(path) || d.MusicStartRequest != 1 || !MediaPlayer) return;
    d.MusicStartRequest = 0;
    if (!MediaPlayer->Open(path)) {
        WriteLog("FormSound", "PlayListMusicCurrent", "media_not_open");
        return;
    }
    // While the window is made the entry is only opened: a later MUSIC plays it from its start.
    if (!creating_ && d.AquelMode == kModeMusic) MediaPlayer->Play();
    ScrollBarMusicTrack->setValue(0);
    ScrollBarMusicTrack->setMaximum(int(MediaPlayer->LengthMs()));
    GroupBoxMusic->setTitle(Q("Music List " + path + " "));
}

void TFormSound::setNextMusic() {
    const int count = ListBoxMusic->count();
    if (count < 1) return;
    ShowData& d = ShowDataInstance();
    d.MusicStartRequest = 1;
    ListBoxMusic->clearSelection();
    d.ProgramOptions[30] = NextIndex(d.ProgramOptions[30], count);
    PlayListMusicCurrent();
}

void TFormSound::setPrevMusic() {
    const int count = ListBoxMusic->count();
    if (count < 1) return;
    ShowData& d = ShowDataInstance();
    d.MusicStartRequest = 1;
    ListBoxMusic->clearSelection();
    d.ProgramOptions[30] = PrevIndex(d.ProgramOptions[30], count);
    PlayListMusicCurrent();
}

void TFormSound::SpeedButtonPrevMusicClick() { setPrevMusic(); }
void TFormSound::SpeedButtonFollowMusicClick() { setNextMusic(); }

void TFormSound::ListBoxMusicDblClick() {
    const int row = ListBoxMusic->currentRow();
    if (row < 1) return;
    ShowData& d = ShowDataInstance();
    d.ProgramOptions[30] = row;
    d.AquelMode = kModeMusic;
    d.MusicStartRequest = 1;
    PlayListMusicCurrent();
}

bool TFormSound::ListBoxMusicDragOver(QObject* source, int x, int y) {
    return DragAccepted(ListBoxMusic, source, x, y);
}

void TFormSound::ListBoxMusicDragDrop(int x, int y) { DragDropped(ListBoxMusic, x, y); }

void TFormSound::SpeedButtonAddMusicClick() {
    AddChosenFiles(dlgOpenSoundMusic, ListBoxMusic, this);
    lblmaxFileMusic->setText(QString::number(ListBoxMusic->count()));
}

void TFormSound::SpeedButtonClearOneMusicClick() {
    if (ListBoxMusic->count() < 1) return;
    DeleteSelected(ListBoxMusic);
    lblmaxFileMusic->setText(QString::number(ListBoxMusic->count()));
}

void TFormSound::SpeedButtonClearAllMusicClick() {
    if (ListBoxMusic->count() < 1) return;
    if (Messages().question("Delete all list files?") != Answer::Yes) return;
    ListBoxMusic->clear();
    lblmaxFileMusic->setText("NO");
}

void TFormSound::SpeedButtonLoadListMusicClick() {
    if (!dlgOpenMusicList.Execute(this)) return;
    ShowData& d = ShowDataInstance();
    std::vector<std::string> items;
    const std::string file = dlgOpenMusicList.FileName.toStdString();
    if (const IoResult r = ReadPathList(file, items); !r) {
        WriteLog("FormSound", "SpeedButtonLoadListMusicClick", "music_list_not_read");
        ReportReadFailure(file, r);
        return;
    }
    FillList(ListBoxMusic, items);
    dlgSaveMusicList.FileName = dlgOpenMusicList.FileName;
    d.MusicListFileName = file;
    lblmaxFileMusic->setText(QString::number(ListBoxMusic->count()));
    GroupBoxMUsicList->setTitle(Q("Music List " + file));
}

void TFormSound::SpeedButtonSaveListMusicClick() {
    if (!dlgSaveMusicList.Execute(this)) return;
    ShowData& d = ShowDataInstance();
    const std::string file = dlgSaveMusicList.FileName.toStdString();
    const IoResult r = WritePathList(file, Entries(ListBoxMusic));
    if (!r) {
        ReportWriteFailure(file, r);
        return;
    }
    dlgOpenMusicList.FileName = dlgSaveMusicList.FileName;
    d.MusicListFileName = file;
    lblmaxFileMusic->setText(QString::number(ListBoxMusic->count()));
    GroupBoxMUsicList->setTitle(Q("Music List " + file));
}

// Outside MUSIC the seek commands only move the position: no background music over a show.
void TFormSound::SpeedButtoneNDClick() {
    if (!MediaPlayer || !MediaPlayer->IsOpen()) return;
    MediaPlayer->SeekMs(ToFinishPositionMs(MediaPlayer->LengthMs()));
    if (ShowDataInstance().AquelMode == kModeMusic) MediaPlayer->Play();
}

void TFormSound::ScrollBarMusicTrackScroll() {
    if (!MediaPlayer || !MediaPlayer->IsOpen()) return;
    MediaPlayer->SeekMs(ScrollBarMusicTrack->sliderPosition());
    if (ShowDataInstance().AquelMode == kModeMusic) MediaPlayer->Play();
}

void TFormSound::ScrollBarVolumMusicChange() {
    const int v = ScrollBarVolumMusic->value();
    lblvolume->setText(Q(MusicVolumeText(v)));
    // The gain is the whole output's: only MUSIC may set it from the music bars.
    if (ShowDataInstance().AquelMode == kModeMusic)
        SetVolume(MusicVolumeWord(ScrollBarVolmusicMain->value(), v));
}

void TFormSound::ScrollBarVolumMusicScroll() {
    ShowDataInstance().ProgramOptions[15] = ScrollBarVolumMusic->sliderPosition();
}

void TFormSound::SetVolume(int level) {
    const int l = level < 0 ? 0 : (level > 65535 ? 65535 : level);
    SetWaveOutGain(uint16_t(l), uint16_t(l));
}

void TFormSound::connectListHandlers() {
    connect(ListBoxShow, &QListWidget::itemClicked, this, [this] { ListBoxShowClick(); });
    connect(ListBoxShow, &QListWidget::itemDoubleClicked, this, [this] { ListBoxShowDblClick(); });
    ListBoxShow->dragOver = [this](QObject* s, int x, int y) { return ListBoxShowDragOver(s, x, y); };
    ListBoxShow->dragDrop = [this](QObject*, int x, int y) { ListBoxShowDragDrop(x, y); };
    connect(SpeedButtonLoadList, &QToolButton::clicked, this, &TFormSound::SpeedButtonLoadListClick);
    connect(SpeedButtonSaveList, &QToolButton::clicked, this, &TFormSound::SpeedButtonSaveListClick);
    connect(SpeedButtonAddList, &QToolButton::clicked, this, &TFormSound::SpeedButtonAddListClick);
    connect(SpeedButtonClearOneList, &QToolButton::clicked, this, &TFormSound::SpeedButtonClearOneListClick);
    connect(SpeedButtonListClear, &QToolButton::clicked, this, &TFormSound::SpeedButtonListClearClick);
    connect(SpeedButtonPrev, &QToolButton::clicked, this, &TFormSound::SpeedButtonPrevClick);
    connect(SpeedButtonFollow, &QToolButton::clicked, this, &TFormSound::SpeedButtonFollowClick);

    connect(ListBoxMusic, &QListWidget::itemDoubleClicked, this, [this] { ListBoxMusicDblClick(); });
    ListBoxMusic->dragOver = [this](QObject* s, int x, int y) { return ListBoxMusicDragOver(s, x, y); };
    ListBoxMusic->dragDrop = [this](QObject*, int x, int y) { ListBoxMusicDragDrop(x, y); };
    connect(SpeedButtonAddMusic, &QToolButton::clicked, this, &TFormSound::SpeedButtonAddMusicClick);
    connect(SpeedButtonClearOneMusic, &QToolButton::clicked, this, &TFormSound::SpeedButtonClearOneMusicClick);
    connect(SpeedButtonClearAllMusic, &QToolButton::clicked, this, &TFormSound::SpeedButtonClearAllMusicClick);
    connect(SpeedButtonLoadListMusic, &QToolButton::clicked, this, &TFormSound::SpeedButtonLoadListMusicClick);
    connect(SpeedButtonSaveListMusic, &QToolButton::clicked, this, &TFormSound::SpeedButtonSaveListMusicClick);
    connect(SpeedButtonPrevMusic, &QToolButton::clicked, this, &TFormSound::SpeedButtonPrevMusicClick);
    connect(SpeedButtonFollowMusic, &QToolButton::clicked, this, &TFormSound::SpeedButtonFollowMusicClick);
    connect(SpeedButtoneND, &QToolButton::clicked, this, &TFormSound::SpeedButtoneNDClick);
    connect(ScrollBarMusicTrack, &QScrollBar::actionTriggered, this, [this] { ScrollBarMusicTrackScroll(); });
    connect(ScrollBarVolumMusic, &QScrollBar::valueChanged, this, [this] { ScrollBarVolumMusicChange(); });
    connect(ScrollBarVolumMusic, &QScrollBar::actionTriggered, this, [this] { ScrollBarVolumMusicScroll(); });
}
