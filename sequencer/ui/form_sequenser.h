// The sequencer window: the editor of the sequencer store, its run control, the tempo and
// step-word commands, the file commands with the notes beside the sequencer file, and the 32
// step timers that play the sequencers on their own.
#pragma once

#include "common/ui/file_dialogs.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QTimer;
class QToolButton;
class QWheelEvent;
class TPaintBox;

class TFormSequenser : public QWidget {
    Q_OBJECT
public:
    explicit TFormSequenser(QWidget* parent = nullptr);
    ~TFormSequenser() override;
    void FormCreate();
    void FormDestroy();

    // --- Step timers and run control -------------------------------------------------------
    void JobAllviewPic(int Seq);
    void SetTimer(int Seq);
    void initTimer(int Seq, int Interval);

    // --- Tempo and step commands -----------------------------------------------------------
    void SetFulltimersMode();
    void ViewTemp();

    // --- Editing services of the area pages (filled in with the editors) -------------------
    void SaveToUndo();
    void RedrawAllarea();
    void RedrawNewSeq();
    void ReDrawAreaSpots();
    void ReDrawAreaKlapan();
    void RedrawAreaGroup();
    void HintCheckGroup();
    void SetButtonInvertor(int Mode);
    static void RePaintTemp(int Word, QString& Text);

    // --- Notes beside the sequencer file; other windows call this when they save it --------
    bool SaveMemoToNotesFile();   // false when the write failed (told to the user)
    void LoadMemoFromNotesFile();

    // --- Handlers --------------------------------------------------------------------------
    void ScrollBarNombSeqScroll(int position);
    void ScrollBarNombSeqChange();
    void ScrollBarScenaRunScroll(int position);
    void ScrollBarScenaRunChange();
    void RadioGroupSeqJobClick(int index);
    void SpeedButtonAlloffClick();
    void SpeedButtonAllStopClick();
    void SpeedButtonSeqBegClick();
    void ScrollBarSeqSpeedScroll(int position);
    void CheckBoxEnableTempoClick();
    void SpeedButtonTempScopeClick();
    void SpeedButtonDelAllControlClick();
    void SpeedButtonDelOnlyLineClick();
    void PopupStepWord(int word, bool unchecksRecOn);
    void popur_clear_uprClick();
    void popur_scena_setClick();
    void tmrPatternTimer();
    void TimerRePaintTimer();
    void PageControlmainChange(int index);
    void edtNameSeqChange();
    void rgSeqChangeClick(int index);
    void ScrollBarNombSeq33_64Change();
    void ScrollBarNombSeq33_64Scroll(int position);
    void SpeedButtonOpenSequensClick();
    void SpeedButtonSaveSeqClick();
    void SpeedButtonSaveAsSequensClick();
    void SpeedButtonLoadDefFileClick();
    void FormMouseWheel(int delta);

    // --- Controls --------------------------------------------------------------------------
    QTabWidget* PageControlmain = nullptr;
    QWidget* tsAreaRGB = nullptr;
    QWidget* tsChannel = nullptr;
    QWidget* tsFixDmx = nullptr;
    QWidget* tsXYDevices = nullptr;
    QWidget* tsNotes = nullptr;
    QPlainTextEdit* MemoNotes = nullptr;

    // Tool bar.
    QToolButton* SpeedButtonOpenSequens = nullptr;
    QToolButton* SpeedButtonSaveAsSequens = nullptr;
    QToolButton* SpeedButtonSaveSeq = nullptr;
    QToolButton* SpeedButtonUndo = nullptr;
    QToolButton* SpeedButtonLoadDefFile = nullptr;
    QToolButton* SpeedButtonClearPattern = nullptr;
    QToolButton* SpeedButtonClearSeq = nullptr;
    QToolButton* SpeedButtonClearAllSeq = nullptr;
    QToolButton* SpeedButtonCopyPattern = nullptr;
    QToolButton* SpeedButtonCopySequens = nullptr;
    QToolButton* SpeedButtonPasteSequens = nullptr;

    // Run control.
    QGroupBox* GroupBoxSeq1_32 = nullptr;
    QScrollBar* ScrollBarNombSeq = nullptr;
    QGroupBox* RadioGroupSeqJob = nullptr;
    QButtonGroup* RadioGroupSeqJobItems = nullptr;
    QScrollBar* ScrollBarScenaRun = nullptr;
    QLabel* lblScena = nullptr;
    QToolButton* SpeedButtonAlloff = nullptr;
    QToolButton* SpeedButtonAllStop = nullptr;
    QToolButton* SpeedButtonSeqBeg = nullptr;
    QGroupBox* GroupBoxSeq33_64 = nullptr;
    QScrollBar* ScrollBarNombSeq33_64 = nullptr;

    // Tempo.
    QGroupBox* GroupBoxTempo = nullptr;
    QScrollBar* ScrollBarSeqSpeed = nullptr;
    QLabel* lblTempo = nullptr;
    QCheckBox* CheckBoxEnableTempo = nullptr;
    QToolButton* SpeedButtonTempAll = nullptr;
    QToolButton* SpeedButtonTempSliceSeq = nullptr;
    QToolButton* SpeedButtonTempOnlyOne = nullptr;
    QButtonGroup* TempScopeGroup = nullptr;
    QToolButton* SpeedButtonDelAllControl = nullptr;
    QToolButton* SpeedButtonDelOnlyLine = nullptr;

    // Name and group.
    QGroupBox* GroupBoxChangeGroup = nullptr;
    QLineEdit* edtNameSeq = nullptr;
    QGroupBox* rgSeqChange = nullptr;
    QButtonGroup* rgSeqChangeItems = nullptr;

    // Pattern display.
    QGroupBox* GroupBoxPattern = nullptr;
    QLabel* LabelRealAdr = nullptr;
    QLabel* LabelPatternLeng = nullptr;

    // Page "Area RGB".
    TPaintBox* PaintBoxSpots = nullptr;
    TPaintBox* PaintBoxSpotTest = nullptr;
    QScrollBar* ScrollBarSpotPos = nullptr;
    QScrollBar* ScrollBarSeqVisual = nullptr;
    QLabel* LabelScBegLow = nullptr;
    QLabel* LabelScBegHi = nullptr;
    QButtonGroup* RgbToolGroup = nullptr;
    QToolButton* SpeedButtonRGBpen = nullptr;
    QToolButton* SpeedButtonRGBline = nullptr;
    QToolButton* SpeedButtonRGBrect = nullptr;
    QToolButton* SpeedButton45dw = nullptr;
    QToolButton* SpeedButton45up = nullptr;
    QToolButton* SpeedButtonRainbow = nullptr;
    QToolButton* SpeedButtonColorLine = nullptr;
    QToolButton* sbCopyRGBtake = nullptr;
    QMenu* PopupMenuRGB = nullptr;

    // Page "Area Channel".
    TPaintBox* PaintBoxKlapsns = nullptr;
    TPaintBox* PaintBoxKlapanTest = nullptr;
    QScrollBar* ScrollBarKlapanPos = nullptr;
    QScrollBar* ScrollBarSeqKLapan = nullptr;
    QLabel* LabelKlBegLow = nullptr;
    QLabel* LabelKlBegHi = nullptr;
    QButtonGroup* KlapanToolGroup = nullptr;
    QToolButton* SpeedButtonKlapanPen = nullptr;
    QToolButton* SpeedButtonLineKlapan = nullptr;
    QToolButton* SpeedButtonKlapanRecy = nullptr;
    QToolButton* SpeedButton45dwKlap = nullptr;
    QToolButton* SpeedButton45upKlap = nullptr;
    QToolButton* SpeedButtonCopyTake = nullptr;
    QMenu* PopupMenuKlapan = nullptr;

    // Page "Fix DMX".
    QScrollBar* ScrollBarGroupPos = nullptr;
    QGroupBox* RadioGroupSeqDuo = nullptr;
    QButtonGroup* RadioGroupSeqDuoItems = nullptr;
    QLabel* LabelGroupSeqUp = nullptr;
    QLabel* LabelGroupseqDw = nullptr;
    QLabel* lblGroupseqTree = nullptr;
    QLabel* lblGroupseqFour = nullptr;

    // Built at run time by FormCreate.
    std::vector<QLabel*> SpotRowLabels;          // 32, page "Area RGB"
    std::vector<QLabel*> KlapanRowLabels;        // 32, page "Area Channel"
    std::vector<QLabel*> GroupRowLabels;         // 26, page "Fix DMX"
    std::vector<QCheckBox*> GroupCells;          // 16 x 26, Tag c*26 + r
    std::vector<QCheckBox*> GroupColumnBoxes;    // 16
    QString GroupLabelTexts[4];                  // column numbers 1..16, 17..32, 33..48, 49..64

    // Off-screen pictures of the area pages.
    QImage IconImage;
    QImage SpotAreaImage;
    QImage KlapanAreaImage;

    spirelo::FileDialog OpenDialogSeq{spirelo::FileDialog::Kind::Open};
    spirelo::FileDialog SaveDialogSeq{spirelo::FileDialog::Kind::Save};

    std::array<QTimer*, 32> TimerSeq{};
    QTimer* TimerRePaint = nullptr;
    QTimer* tmrPattern = nullptr;

    // The shown sequencer (0..31) and the bars' positions as the handlers see them.
    int ShownSeq() const;
    int StepBarPosition() const;
    int TempoPosition() const;

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void createControls();
    void createToolBar();
    void createRunControl();
    void createTempoControls();
    void createAreaRgbPage();
    void createAreaChannelPage();
    void createFixDmxPage();
    void buildRunTimeControls();
    void UncheckRecOn();
    void SetActivePage(int index);
    void SetRunStateSelector(int state);
    bool SecondGroupShown() const;
    void AreaMouseDown(int firstVisibleStep, int x);

    bool created_ = false;
    bool destroyed_ = false;
};

extern TFormSequenser* FormSequenser;
