// Glimmora's main window: two tool bars around the 3D view, the live-data reader, the frame
// and the camera tour.
#pragma once

#include "common/ini_file.h"
#include "common/live_data.h"
#include "common/shared_section.h"
#include "common/ui/file_dialogs.h"
#include "visualiser/ui/renderer.h"
#include "visualiser/visualiser_state.h"

#include <QButtonGroup>
#include <QMainWindow>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

class GlView;

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;
    void FormCreate();

    // Tool bar tlb1.
    QToolBar* tlb1 = nullptr;
    QToolButton *SpeedButtonSetWin = nullptr, *btnOpen = nullptr, *SpeedButtonAxis = nullptr,
                *SpeedButtonGrid = nullptr, *btnNozzle = nullptr, *SpeedButtonStreams = nullptr,
                *btnCup = nullptr, *btnWaterOn = nullptr, *SpeedButtonSpot = nullptr, *btnObjOn = nullptr,
                *btnPeople = nullptr, *SpeedButtonAlfa = nullptr, *SpeedButtonDepth = nullptr,
                *SpeedButtonWire = nullptr, *SpeedButtonHelp = nullptr;
    // Tool bar tlb2 (bottom).
    QToolBar* tlb2 = nullptr;
    QToolButton *btnDefault = nullptr, *btnZoomALL = nullptr, *btnWievUP = nullptr, *btnViewSide = nullptr,
                *btnWiewIso = nullptr, *btnDMXon = nullptr, *btnMaxOn = nullptr, *btnMinOn = nullptr,
                *SpeedButtonBegin = nullptr, *SpeedButtonStop = nullptr, *SpeedButtonPlay = nullptr,
                *SpeedButtonStep = nullptr, *SpeedButtonREcord = nullptr, *SpeedButtonLeng = nullptr,
                *btnFPS = nullptr;
    QButtonGroup* dmxGroup = nullptr;
    QButtonGroup* tourGroup = nullptr;

    QTimer *TimerRePaint = nullptr, *TimerDmxIn = nullptr, *tmrStep = nullptr, *tmrINC = nullptr;
    spirelo::FileDialog dlgOpen{spirelo::FileDialog::Kind::Open};
    GlView* glView = nullptr;
    // The live-data section read by TimerDmxIn (tests set their own before FormCreate).
    std::string LiveSectionName = spirelo::DmxSectionName();
    std::string LiveSectionOpenName;   // the name read: LiveSectionName or the user's own

    // Handlers.
    void SpeedButtonSetWinClick();
    void SpeedButtonHelpClick();
    void btnOpenClick();
    void btnDefaultClick();
    void btnZoomALLClick();
    void btnWievUPClick();
    void btnViewSideClick();
    void btnWiewIsoClick();
    void SpeedButtonREcordClick();
    void SpeedButtonStepClick();
    void SpeedButtonStopClick();
    void SpeedButtonBeginClick();
    void SpeedButtonLengClick();
    void TimerRePaintTimer();
    void TimerDmxInTimer();
    void tmrStepTimer();
    void tmrINCTimer();

    // The GL view's events.
    void InitGL(int width, int height);
    void FormResize(int width, int height);
    void PaintFrame();
    void GLMouseDown(spirelo::MouseButton b, int x, int y);
    void GLMouseUp(spirelo::MouseButton b);
    void GLMouseMove(int x, int y);
    void GLMouseWheel(int delta);

    spirelo::FrameLayers Layers() const;
    spirelo::DmxMode CurrentDmxMode() const;
    spirelo::IniFile& Ini() { return ini_; }
    // Saves the settings; a failure is shown, as in the controller, except one the file's read
    // already told at the start and a repeat of the close's own after the close.
    bool SaveIni();
    bool LiveDataConnected() const { return section_.isOpen(); }
    // The layout path that the settings named at start (LayoutFileName holds only a loaded one).
    const std::string& StartLayoutPath() const { return startLayoutPath_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void createControls();
    void placeOnScreen(const spirelo::VisualiserSettings& set);
    void FormClose();
    void FormDestroy();
    void updateTourCaption();
    QToolButton* addButton(QToolBar* bar, const QString& text, const QString& hint, bool checkable);

    spirelo::IniFile ini_;
    spirelo::SharedSection section_;
    spirelo::SceneRenderer renderer_;
    std::string startLayoutPath_;
    std::string liveText_;
    bool glReady_ = false;
    bool closed_ = false;
    // The place the settings held; kept when the window was never shown and so never placed.
    spirelo::FormBounds startBounds_;
    bool startBoundsSaved_ = false;
    bool shownOnce_ = false;
    std::string closeSaveFailure_;
};

extern TFormMain* FormMain;

// The three windows in reverse creation order, the main window last; each global back to null.
void DestroyVisualiserWindows();
