// The sequencer window: the editor of the sequencer store, its run control, the tempo and
// step-word commands, the file commands with the notes beside the sequencer file, and the 32
// step timers that play the sequencers on their own.
#pragma once

#include "common/file_io.h"
#include "common/ui/colour_dialog.h"
#include "common/ui/file_dialogs.h"
#include "sequencer/scene_editor.h"
#include "platform/serial_port.h"
#include "sequencer/xy_figures.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
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
class QSpinBox;
class QTabWidget;
class QTimer;
class QToolButton;
class QWheelEvent;
class TLevelButton;
class TPaintBox;
class TShape;
struct AreaRenderJob;
class QAction;

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

    // --- Area pages: undo, clipboards, paint tools (form_sequenser_areas.cpp) -------------
    void ReastoereFromUndo();
    void TimerUndoTimer();
    void SpeedButtonClearPatternClick();
    void SpeedButtonClearSeqClick();
    void SpeedButtonClearAllSeqClick();
    void SpeedButtonMIrrorHorizClick();
    void SpeedButtonCopyPatternClick();
    void SpeedButtonCopySequensClick();
    void SpeedButtonPasteSequensClick();
    void popur_clear_scenaClick();
    void popur_Clear_all_seqClick();
    void Popur_Copy_seqClick();
    void Popur_paste_seqClick();
    void Popur_InsertClick();
    spirelo::AreaView SpotView() const;
    spirelo::AreaView KlapanView() const;
    AreaRenderJob RenderJob(spirelo::AreaPage page, spirelo::AreaView view, spirelo::AreaTool tool) const;

    // --- Page "Area RGB" (form_sequenser_spots.cpp) ---------------------------------------
    void PaintBoxSpotsMouseDown(Qt::MouseButton Button, int X, int Y);
    void PaintBoxSpotsMouseMove(int X, int Y);
    void PaintBoxSpotsMouseUp();
    void SpotToolClick();
    void ScrollBarSpotPosScroll(int position);
    void ScrollBarSpotPosChange();
    void ScrollBarSeqVisualChange();
    void ShapeColorMouseDown(TShape* shape);
    void SpeedButtonRGBcolorClick();
    void shpStartMouseDown();
    void shpFinishMouseDown();
    void SpeedButtonChangeColorClick();
    void Popur_mainClick();
    void paintBmpICO(const QColor& Colour);
    QColor PaintColour() const;
    spirelo::AreaTool SpotTool() const;

    // --- Page "Area Channel" (form_sequenser_channels.cpp) --------------------------------
    void PaintBoxKlapsnsMouseDown(Qt::MouseButton Button, int X, int Y);
    void PaintBoxKlapsnsMouseMove(int X, int Y);
    void PaintBoxKlapsnsMouseUp();
    void KlapanToolClick();
    void ScrollBarKlapanPosScroll(int position);
    void ScrollBarKlapanPosChange();
    void ScrollBarSeqKLapanChange();
    void LevelButtonMouseDown(int Mode, Qt::MouseButton Button);
    void ScrollBarSetLevInvsScroll(int position);
    void ShowLevelButtons(const spirelo::LevelButtonsLook& look);
    void MenuItemClearPointClick();
    spirelo::AreaTool KlapanTool() const;

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
    bool SaveAsChosenFile();   // Save As's dialog and save; true when the file was written
    void SpeedButtonLoadDefFileClick();
    void FormMouseWheel(int delta);

    // --- Fixed DMX grid and the ROM export -------------------------------------------------
    bool Question();
    void CheckBoxGroupSet(bool Value);
    void onCheckGroup(int Tag);
    void MouseDownCheckBoxGroup(int Tag);
    void ScrollBarGroupPosChange();
    void ScrollBarGroupPosScroll(int position);
    void RadioGroupSeqDuoClick(int index);
    void ScrollBarBeginChKChange();
    void SpeedButtonAnotherClick();
    void RangeButtonClick(int value);      // "Set"/"Off" on the chosen columns
    void AreaButtonClick(int kind);        // spots, inverters, valves
    void SpeedButtonClearSkrepkaClick();
    void SpeedButtonGroupAlloffAllClick();
    void SpeedButtonDoviClick();
    void ScrollBarAdrRomChange();
    void SpeedButtonSendClick();
    int GridGroup() const;
    int GridFirstRow() const;
    std::array<bool, 16> CheckedColumns() const;

    // --- X-Y figures -----------------------------------------------------------------------
    void XYFigureClick(int figure);
    void btnRotateLeftClick();
    void XYPointButtonDown(int code);
    void XYPointButtonUp();
    void tmrRepeatButtonTimer();
    void btnEditXYcopyClick();
    void XYLabelsRefresh();
    void XYSceneChange(bool first);
    void PaintBoxXYMouseDown(Qt::MouseButton button, int x, int y);
    void PaintBoxXYMouseMove(int x, int y);
    void PaintBoxXYMouseUp();
    void PaintBoxXYRedraw();
    spirelo::XYParams XYParamsNow() const;

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
    TShape* ShapeR = nullptr;
    TShape* ShapeY = nullptr;
    TShape* ShapeG = nullptr;
    TShape* ShapeM = nullptr;
    TShape* ShapeB = nullptr;
    TShape* ShapeV = nullptr;
    TShape* ShapeW = nullptr;
    TShape* ShapeBl = nullptr;
    TShape* shpColor = nullptr;
    TShape* shpStart = nullptr;
    TShape* shpFinish = nullptr;
    QToolButton* SpeedButtonRGBcolor = nullptr;
    QToolButton* SpeedButtonChangeColor = nullptr;
    QToolButton* SpeedButtonMIrrorHorizRGB = nullptr;
    QAction* Popur_main = nullptr;
    QAction* popur_clear_scena = nullptr;
    QAction* popur_Clear_all_seq = nullptr;
    QAction* Popur_Copy_seq = nullptr;
    QAction* Popur_paste_seq = nullptr;
    QAction* Popur_Insert = nullptr;

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
    QToolButton* SpeedButtonMIrrorHoriz = nullptr;
    TLevelButton* SpeedButton1setInv = nullptr;
    TLevelButton* SpeedButton2setInv = nullptr;
    TLevelButton* SpeedButton3setInv = nullptr;
    TLevelButton* SpeedButton4setInv = nullptr;
    TLevelButton* SpeedButton5setInv = nullptr;
    TLevelButton* SpeedButton6setInv = nullptr;
    std::array<TLevelButton*, 6> LevelButtons{};   // edit modes 1..6
    QGroupBox* GroupBoxLevInv = nullptr;
    QScrollBar* ScrollBarSetLevInvs = nullptr;
    QAction* MenuItemClearPoint = nullptr;
    QAction* MenuItem22 = nullptr;
    QAction* MenuItem23 = nullptr;
    QAction* MenuItem10 = nullptr;
    QAction* N2 = nullptr;
    QAction* MenuItem18 = nullptr;
    QAction* MenuItem19 = nullptr;
    std::vector<QAction*> LevelMenuItems;          // "Установить уровень ..." (no action)

    // Page "Fix DMX".
    QScrollBar* ScrollBarGroupPos = nullptr;
    QGroupBox* RadioGroupSeqDuo = nullptr;
    QButtonGroup* RadioGroupSeqDuoItems = nullptr;
    QLabel* LabelGroupSeqUp = nullptr;
    QLabel* LabelGroupseqDw = nullptr;
    QLabel* lblGroupseqTree = nullptr;
    QLabel* lblGroupseqFour = nullptr;
    QGroupBox* GroupBoxSetAddr = nullptr;
    QScrollBar* ScrollBarBeginChK = nullptr;
    QScrollBar* ScrollBarLengDmxChK = nullptr;
    QLabel* LabelChK = nullptr;
    QLabel* LabelLengFix = nullptr;
    QToolButton* SpeedButtonAnother = nullptr;
    QToolButton* SpeedButtonChk16ON = nullptr;
    QToolButton* SpeedButtonChk16Off = nullptr;
    QToolButton* SpeedButtonGroupAllon = nullptr;
    QToolButton* SpeedButtonGroupAlloff = nullptr;
    QToolButton* SpeedButtonLamp = nullptr;
    QToolButton* SpeedButtonINV = nullptr;
    QToolButton* SpeedButtonKlap = nullptr;
    QToolButton* SpeedButtonClearSkrepka = nullptr;
    QToolButton* SpeedButtonGroupAlloffAll = nullptr;
    QToolButton* SpeedButtonDovi = nullptr;
    QGroupBox* GroupBoxAdrRom = nullptr;
    QScrollBar* ScrollBarAdrRom = nullptr;
    QToolButton* SpeedButtonSend = nullptr;
    std::unique_ptr<spirelo::SerialPort> SerialPortDevice;   // Qt's port unless a test sets one

    // Page "X-Y devices".
    QScrollBar* ScrollBarEditXYCh1 = nullptr;
    QScrollBar* ScrollBarEditXYCh2 = nullptr;
    QScrollBar* ScrollBarEditXYCh3 = nullptr;
    QScrollBar* ScrollBarEditXYCh4 = nullptr;
    QCheckBox* CheckBoxEditXY1 = nullptr;
    QCheckBox* CheckBoxEditXY2 = nullptr;
    QCheckBox* CheckBoxEditXY3 = nullptr;
    QCheckBox* CheckBoxEditXY4 = nullptr;
    QSpinBox* SpinEditESSfrom = nullptr;
    QSpinBox* SpinEditESSto = nullptr;
    QCheckBox* CheckBoxEditXYAllScenes = nullptr;
    QCheckBox* CheckBoxAllScen = nullptr;
    QScrollBar* ScrollBarEditMaxX = nullptr;
    QScrollBar* ScrollBarEditWide = nullptr;
    QScrollBar* ScrollBarRotate = nullptr;
    std::array<QToolButton*, 9> XYFigureButtons{};   // Line, Treug, Rect, Six, Snake, Cucle, 8, Pent, Spiral
    QToolButton* btnRotateLeft = nullptr;
    QToolButton* SpeedButtonGorizontMirror = nullptr;
    QToolButton* SpeedButtonVerticalMirror = nullptr;
    QToolButton* SpeedButtonEditPosLeft = nullptr;
    QToolButton* SpeedButtonEditPosRight = nullptr;
    QToolButton* SpeedButtonEditPosUp = nullptr;
    QToolButton* SpeedButtonEditPosDown = nullptr;
    QToolButton* SpeedButtonEditRazmerMore = nullptr;
    QToolButton* SpeedButtonEditRazmerMene = nullptr;
    QToolButton* btnEditXYcopy = nullptr;
    TPaintBox* PaintBoxGrid = nullptr;
    TPaintBox* PaintBoxXY = nullptr;
    QLabel* LabelEXYscena = nullptr;
    QLabel* LabelESPosX = nullptr;
    QLabel* LabelESPosY = nullptr;
    QLabel* LabelEditRL = nullptr;
    QLabel* LabelFigure = nullptr;
    std::array<QLabel*, 4> LabelXYareaFirrtName{};
    std::array<QLabel*, 4> LabelXYareaSecondName{};
    QTimer* tmrRepeatButton = nullptr;
    int XYRepeatCode = 0;          // the held point button's operation, 0 none
    int XYPointedStep = -1;        // the pad's dragged step
    int XYMouseMode = 0;           // 0 none, 1 dragging, 2 the right button's mode, 3 pressing
    QImage XYPicture;              // grid, then the figure over it

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
    QImage SpotStripImage;
    QImage KlapanStripImage;

    spirelo::ColourDialog ColorDialogRGB;
    QTimer* TimerUndo = nullptr;
    // Undo snapshot and clipboards: megabytes, allocated once with the window.
    std::unique_ptr<spirelo::UndoStore> Undo;
    std::unique_ptr<spirelo::SceneClipboard> Clipboards;

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
    void createFixDmxTools();
    void connectFixDmxTools();
    void createXYPage();
    void connectXYPage();
    void buildRunTimeControls();
    void UncheckRecOn();
    void SetActivePage(int index);
    void SetRunStateSelector(int state);
    bool SecondGroupShown() const;
    void createAreaRgbTools();
    void createAreaChannelTools();
    void createAreaPopupItems();
    void connectAreaHandlers();
    void AreaStepAction(const spirelo::AreaResult& r);
    spirelo::AreaContext SpotContext();
    spirelo::AreaContext KlapanContext();

    bool created_ = false;
    bool destroyed_ = false;
    spirelo::RefusedTextFile refusedNotes_;
};

extern TFormSequenser* FormSequenser;

// The paint tools on the sequencer window's view: its scroll bars, painting colour and paint
// value. With no window they only write their event-log entry.
namespace ReadSave {
void RecPix(int Channel, int Step, int Seq);
void NormaliseSelection();
void FillRectColor();
void FillRectKlapan();
void drawLineColor();
void drawTwoLineColor();
void LineBetween();
}  // namespace ReadSave
