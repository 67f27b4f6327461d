// The main window: a tool bar across the top of the desktop with the fountain-mode buttons,
// open/save of the project, the buttons that show the other windows, the new-start mark and
// the transport. Its creation loads every show file before any other window is created.
#pragma once

#include "common/ui/file_dialogs.h"
#include "common/ui/status_panels.h"

#include <QButtonGroup>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

class QCloseEvent;
class QKeyEvent;

class TFormMaim : public QWidget {
    Q_OBJECT
public:
    explicit TFormMaim(QWidget* parent = nullptr);
    ~TFormMaim() override;

    void FormCreate();
    void FormClose();
    void FormDestroy();
    // key is the original's virtual-key code.
    void FormKeyDown(int key);

    // Mode buttons.
    void SpeedButtonModeAllOFFClick();
    void SpeedButtonModePauseClick();
    void SpeedButtonModeStatickClick();
    void SpeedButtonModePlayClick();
    void SpeedButtonModeDanceClick();
    void SpeedButtonModeMusicClick();
    void SpeedButtonSheduleClick();
    // Project.
    void SpeedButtonOpenProjectClick();
    void SpeedButtonSaveFileClick();
    // Windows.
    void SpeedButtonAboutClick();
    void SpeedButtonWindowSoundClick();
    void SpeedButtonWindowSequenserClick();
    void DiagramItemClick();
    void SpeedButtonFormTestClick();
    void SpeedButtonFormButtonClick();
    // New-start mark and transport.
    void sbNewBegTo0Click();
    void SpeedButtonDelNewStartClick();
    void sbNewStartClick();
    void SpeedButtonbeginClick();
    void SpeedButtonForwardClick();
    void SpeedButtonPrewClick();

    // A mode change made outside the sound window (mode buttons, macros, a DMX recording's
    // start): untick the schedule (and clear its stored flag), store the mode, SetJobingMode.
    void ChangeModeByHand(int mode);

    // Sets the caption to "File track: " + name (the sound window and the show list use it too).
    void SetTrackCaption(const QString& name);

    // Six panels (0..5); the sound window writes 0, 2, 3, the track views 1 and 2.
    spirelo::StatusPanels* StatusBarMain = nullptr;
    QToolBar* ToolBar = nullptr;

    QToolButton* SpeedButtonOpenProject = nullptr;
    QToolButton* SpeedButtonSaveFile = nullptr;
    QToolButton* SpeedButtonAbout = nullptr;
    QToolButton* SpeedButtonWindowSound = nullptr;
    QToolButton* SpeedButtonWindowSequenser = nullptr;
    QToolButton* SpeedButtonWindowDMX_COM = nullptr;
    QToolButton* SpeedButtonFormTest = nullptr;
    QToolButton* SpeedButtonFormButton = nullptr;
    QToolButton* sbNewBegTo0 = nullptr;
    QToolButton* sbNewStart = nullptr;
    QToolButton* SpeedButtonDelNewStart = nullptr;
    QToolButton* SpeedButtonbegin = nullptr;
    QToolButton* SpeedButtonPrew = nullptr;
    QToolButton* SpeedButtonForward = nullptr;
    // Group 1: exclusive, at most one down.
    QToolButton* SpeedButtonModeAllOFF = nullptr;
    QToolButton* SpeedButtonModeStatick = nullptr;
    QToolButton* SpeedButtonModePause = nullptr;
    QToolButton* SpeedButtonModePlay = nullptr;
    QToolButton* SpeedButtonModeDance = nullptr;
    QToolButton* SpeedButtonModeMusic = nullptr;
    QButtonGroup* ModeGroup = nullptr;
    QToolButton* SpeedButtonShedule = nullptr;

    spirelo::FileDialog* OpenDialogTrack = nullptr;
    spirelo::FileDialog* SaveDialogTrack = nullptr;

signals:
    // The user (or a termination signal) closed the window: the program ends.
    void closedByUser();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void dockOnScreen();
    void setScheduleOn(bool on);

    spirelo::FileDialog openDialog_{spirelo::FileDialog::Kind::Open};
    spirelo::FileDialog saveDialog_{spirelo::FileDialog::Kind::Save};
    bool destroyed_ = false;
};

extern TFormMaim* FormMaim;
