// The sound window: music player, show clock, show tick, modes, lists, track and effect pages.
// Several files implement it (form_sound*.cpp), one per concern.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QWidget>

#include <string>

class TFormSound : public QWidget {
    Q_OBJECT
public:
    explicit TFormSound(QWidget* parent = nullptr);
    ~TFormSound() override;
    void FormCreate();

    // Called by the main window.
    void SetJobingMode();
    void SetModeAquel_MUSIC();
    void MadePlayFile();
    void SoundToBegin();
    void NewStartCopy();
    void setNextMusic();
    void SetVolume(int level);

    // Controls the main window reads or sets.
    QCheckBox* CheckBoxScheduleON = nullptr;
    QLabel* LabelSpace = nullptr;
    QFrame* ShapeSpace = nullptr;
    QListWidget* ListBoxMusic = nullptr;
    QScrollBar* ScrollBarMusicTrack = nullptr;
    QScrollBar* ScrollBarVolmusicMain = nullptr;
    QScrollBar* ScrollBarVolumMusic = nullptr;

private:
    void createControls();
};

extern TFormSound* FormSound;
