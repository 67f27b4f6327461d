// What the two area pages share: the undo snapshot, the pattern and sequencer clipboards with
// their buttons and popup items, the step action of a press, and the paint-tool wrappers.
#include "sequencer/ui/form_sequenser.h"

#include "common/ui/qt_helpers.h"
#include "core/event_log.h"
#include "core/show_data.h"
#include "platform/message_service.h"
#include "sequencer/scene_editor.h"
#include "sequencer/sequencer_store.h"
#include "sequencer/ui/area_render.h"
#include "sequencer/ui/area_widgets.h"
#include "sequencer/ui/paint_box.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLocale>
#include <QMenu>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <string>

using namespace spirelo;

namespace {

QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(name);
    return a;
}

char DecimalPoint() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 ? point[0].toLatin1() : '.';
}

}  // namespace

void TFormSequenser::createAreaPopupItems() {
    PopupMenuRGB->addSeparator();
    Popur_main = AddItem(PopupMenuRGB, "Popur_main", "Cтереть точку");
    popur_clear_scena = AddItem(PopupMenuRGB, "popur_clear_scena", "Стереть текущую Сцену");
    popur_Clear_all_seq = AddItem(PopupMenuRGB, "popur_Clear_all_seq", "Очистить секвенсер");
    Popur_Copy_seq = AddItem(PopupMenuRGB, "Popur_Copy_seq", "Копировать секвенсер");
    Popur_paste_seq = AddItem(PopupMenuRGB, "Popur_paste_seq", "Вставить секвенсер");
    Popur_paste_seq->setEnabled(false);
    Popur_Insert = AddItem(PopupMenuRGB, "Popur_Insert", "Вставить выделенное");
    Popur_Insert->setEnabled(false);

    PopupMenuKlapan->addSeparator();
    MenuItemClearPoint = AddItem(PopupMenuKlapan, "MenuItemClearPoint", "Cтереть точку");
    MenuItem22 = AddItem(PopupMenuKlapan, "MenuItem22", "Стереть текущую Сцену");
    MenuItem23 = AddItem(PopupMenuKlapan, "MenuItem23", "Стереть весь секвенсер");
    MenuItem10 = AddItem(PopupMenuKlapan, "MenuItem10", "Вставить");
    N2 = AddItem(PopupMenuKlapan, "N2", "Копировать");
    N2->setVisible(false);
    MenuItem18 = AddItem(PopupMenuKlapan, "MenuItem18", "Уст. время во все сцены");
    MenuItem19 = AddItem(PopupMenuKlapan, "MenuItem19", "Уст. время текушей сцены");
    PopupMenuKlapan->addSeparator();
    const char* levels[] = {"255", "225", "196", "160", "127", "96", "64", "32", "00"};
    for (int i = 0; i < 9; ++i) {
        const std::string caption = std::string("Установить уровень ") + levels[i];
        QAction* a = PopupMenuKlapan->addAction(QString::fromStdString(caption));
        a->setObjectName(QStringLiteral("MenuItemLevel%1").arg(i + 1));
        LevelMenuItems.push_back(a);
    }
}

void TFormSequenser::connectAreaHandlers() {
    Undo = std::make_unique<UndoStore>();
    Clipboards = MakeSceneClipboard();
    TimerUndo = MakeTimer(this, 1000);
    TimerUndo->setObjectName("TimerUndo");
    connect(TimerUndo, &QTimer::timeout, this, &TFormSequenser::TimerUndoTimer);

    PaintBoxSpots->OnPaint = [this](QPainter& p) { p.drawImage(0, 0, SpotAreaImage); };
    PaintBoxKlapsns->OnPaint = [this](QPainter& p) { p.drawImage(0, 0, KlapanAreaImage); };
    PaintBoxSpotTest->OnPaint = [this](QPainter& p) { p.drawImage(0, 0, SpotStripImage); };
    PaintBoxKlapanTest->OnPaint = [this](QPainter& p) { p.drawImage(0, 0, KlapanStripImage); };
    PaintBoxSpots->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { PaintBoxSpotsMouseDown(b, x, y); };
    PaintBoxSpots->OnMouseMove = [this](Qt::MouseButton, int x, int y) { PaintBoxSpotsMouseMove(x, y); };
    PaintBoxSpots->OnMouseUp = [this](Qt::MouseButton, int, int) { PaintBoxSpotsMouseUp(); };
    PaintBoxKlapsns->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { PaintBoxKlapsnsMouseDown(b, x, y); };
    PaintBoxKlapsns->OnMouseMove = [this](Qt::MouseButton, int x, int y) { PaintBoxKlapsnsMouseMove(x, y); };
    PaintBoxKlapsns->OnMouseUp = [this](Qt::MouseButton, int, int) { PaintBoxKlapsnsMouseUp(); };

    connect(SpeedButtonUndo, &QToolButton::clicked, this, &TFormSequenser::ReastoereFromUndo);
    connect(SpeedButtonClearPattern, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonClearPatternClick);
    connect(SpeedButtonClearSeq, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonClearSeqClick);
    connect(SpeedButtonClearAllSeq, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonClearAllSeqClick);
    connect(SpeedButtonMIrrorHorizRGB, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonMIrrorHorizClick);
    connect(SpeedButtonMIrrorHoriz, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonMIrrorHorizClick);
    connect(SpeedButtonCopyPattern, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonCopyPatternClick);
    connect(SpeedButtonCopySequens, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonCopySequensClick);
    connect(SpeedButtonPasteSequens, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonPasteSequensClick);

    connect(Popur_main, &QAction::triggered, this, &TFormSequenser::Popur_mainClick);
    connect(MenuItemClearPoint, &QAction::triggered, this, &TFormSequenser::MenuItemClearPointClick);
    for (QAction* a : {popur_clear_scena, MenuItem22})
        connect(a, &QAction::triggered, this, &TFormSequenser::popur_clear_scenaClick);
    for (QAction* a : {popur_Clear_all_seq, MenuItem23})
        connect(a, &QAction::triggered, this, &TFormSequenser::popur_Clear_all_seqClick);
    connect(Popur_Copy_seq, &QAction::triggered, this, &TFormSequenser::Popur_Copy_seqClick);
    connect(Popur_paste_seq, &QAction::triggered, this, &TFormSequenser::Popur_paste_seqClick);
    connect(Popur_Insert, &QAction::triggered, this, &TFormSequenser::Popur_InsertClick);
    for (QAction* a : {MenuItem10, N2, MenuItem18, MenuItem19})
        connect(a, &QAction::triggered, this, &TFormSequenser::UncheckRecOn);

    connect(RgbToolGroup, &QButtonGroup::buttonClicked, this, &TFormSequenser::SpotToolClick);
    connect(KlapanToolGroup, &QButtonGroup::buttonClicked, this, &TFormSequenser::KlapanToolClick);
    connect(ScrollBarSpotPos, &QScrollBar::actionTriggered, this,
            [this] { ScrollBarSpotPosScroll(ScrollBarSpotPos->sliderPosition()); });
    connect(ScrollBarSpotPos, &QScrollBar::valueChanged, this, &TFormSequenser::ScrollBarSpotPosChange);
    connect(ScrollBarSeqVisual, &QScrollBar::valueChanged, this, &TFormSequenser::ScrollBarSeqVisualChange);
    connect(ScrollBarKlapanPos, &QScrollBar::actionTriggered, this,
            [this] { ScrollBarKlapanPosScroll(ScrollBarKlapanPos->sliderPosition()); });
    connect(ScrollBarKlapanPos, &QScrollBar::valueChanged, this, &TFormSequenser::ScrollBarKlapanPosChange);
    connect(ScrollBarSeqKLapan, &QScrollBar::valueChanged, this, &TFormSequenser::ScrollBarSeqKLapanChange);
    connect(ScrollBarSetLevInvs, &QScrollBar::actionTriggered, this,
            [this] { ScrollBarSetLevInvsScroll(ScrollBarSetLevInvs->sliderPosition()); });

    for (TShape* s : {ShapeR, ShapeY, ShapeG, ShapeM, ShapeB, ShapeV, ShapeW, ShapeBl})
        s->OnMouseDown = [this, s](Qt::MouseButton) { ShapeColorMouseDown(s); };
    shpStart->OnMouseDown = [this](Qt::MouseButton) { shpStartMouseDown(); };
    shpFinish->OnMouseDown = [this](Qt::MouseButton) { shpFinishMouseDown(); };
    connect(SpeedButtonRGBcolor, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonRGBcolorClick);
    connect(SpeedButtonChangeColor, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonChangeColorClick);
    for (int i = 0; i < kLevelButtons; ++i)
        LevelButtons[i]->OnMouseDown = [this, i](Qt::MouseButton b) { LevelButtonMouseDown(i + 1, b); };
}

// --- Undo ------------------------------------------------------------------------------------

void TFormSequenser::SaveToUndo() {
    // Every edit restarts the full second; the snapshot is the state before the burst.
    TimerUndo->stop();
    TimerUndo->setInterval(1000);
    TimerUndo->start();
    if (Undo->save(ShowDataInstance())) SpeedButtonUndo->setEnabled(true);
}

void TFormSequenser::TimerUndoTimer() {
    Undo->burstEnded();
    TimerUndo->stop();
}

void TFormSequenser::ReastoereFromUndo() {
    if (!Undo->restore(ShowDataInstance())) return;
    SpeedButtonUndo->setEnabled(false);
    RedrawNewSeq();
}

// --- Step action of a press on the strip or an undriven row -----------------------------------

void TFormSequenser::AreaStepAction(const AreaResult& r) {
    ShowData& d = ShowDataInstance();
    const int seq = ShownSeq();
    if (r.stepAction == AreaResult::StepAction::MakeCurrent) {
        UncheckRecOn();
        d.SequencerCurrentStep[seq] = uint16_t(ClampSeqStep(r.step));
        ScrollBarScenaRun->setValue(r.step);
        SetFulltimersMode();
        RedrawNewSeq();
        ViewTemp();
    } else if (r.stepAction == AreaResult::StepAction::ToggleWord) {
        UncheckRecOn();
        ToggleStepWord(d, seq, r.step, TempoPosition());
        RedrawNewSeq();
    }
}

// --- Views and drawing -----------------------------------------------------------------------

AreaView TFormSequenser::SpotView() const {
    return {ShownSeq(), ScrollBarSeqVisual->sliderPosition(), ScrollBarSpotPos->sliderPosition()};
}

AreaView TFormSequenser::KlapanView() const {
    return {ShownSeq(), ScrollBarSeqKLapan->sliderPosition(), ScrollBarKlapanPos->sliderPosition()};
}

AreaRenderJob TFormSequenser::RenderJob(AreaPage page, AreaView view, AreaTool tool) const {
    AreaRenderJob job;
    job.page = page;
    job.view = view;
    job.currentStep = StepBarPosition();
    job.face = palette().color(QPalette::Button);
    job.tool = tool;
    job.decimalPoint = DecimalPoint();
    job.font = font();
    return job;
}

void TFormSequenser::ReDrawAreaSpots() {
    if (SecondGroupShown() || SpotAreaImage.isNull()) return;
    ShowData& d = ShowDataInstance();
    SequencerEditState& e = SequencerEditInstance();
    ScrollBarSeqVisual->setValue(d.EditorSettings[4]);
    const AreaTool tool = SpotTool();
    if (tool == AreaTool::Pencil) e.SpotToolState = 0;
    RenderArea(SpotAreaImage, SpotStripImage, d, e, RenderJob(AreaPage::Spots, SpotView(), tool));
    PaintBoxSpots->update();
    PaintBoxSpotTest->update();
}

void TFormSequenser::ReDrawAreaKlapan() {
    if (SecondGroupShown() || KlapanAreaImage.isNull()) return;
    ShowData& d = ShowDataInstance();
    SequencerEditState& e = SequencerEditInstance();
    ScrollBarSeqKLapan->setValue(d.EditorSettings[6]);
    const AreaTool tool = KlapanTool();
    if (tool == AreaTool::Pencil) e.KlapanToolState = 0;
    RenderArea(KlapanAreaImage, KlapanStripImage, d, e, RenderJob(AreaPage::Channels, KlapanView(), tool));
    PaintBoxKlapsns->update();
    PaintBoxKlapanTest->update();
}

// --- Buttons of the tool bar -----------------------------------------------------------------

void TFormSequenser::SpeedButtonClearPatternClick() {
    SaveToUndo();
    const int tempo = TempoPosition();
    const int seq = ShownSeq();
    if (!ClearPattern(ShowDataInstance(), SequencerEditInstance(), seq, tempo)) return;
    initTimer(seq, tempo);
    RedrawNewSeq();
}

void TFormSequenser::SpeedButtonClearSeqClick() {
    SaveToUndo();
    const int seq = ShownSeq();
    if (Messages().question("Clear sequenser " + std::to_string(seq + 1)) == Answer::No) return;
    ClearSequencer(ShowDataInstance(), seq);
    ScrollBarScenaRun->setValue(0);
    SetRunStateSelector(kRunOff);
    SetFulltimersMode();
    RedrawNewSeq();
}

void TFormSequenser::SpeedButtonClearAllSeqClick() {
    SaveToUndo();
    if (Messages().question("Clear all sequensers? ") == Answer::No) return;
    ClearAllSequencers(ShowDataInstance());
    RedrawNewSeq();
}

void TFormSequenser::SpeedButtonMIrrorHorizClick() {
    SaveToUndo();
    MirrorPattern(ShowDataInstance(), SequencerEditInstance(), *Clipboards, ShownSeq());
    RedrawNewSeq();
}

void TFormSequenser::SpeedButtonCopyPatternClick() {
    SpeedButtonPasteSequens->setEnabled(false);
    SaveToUndo();
    if (CopyPattern(ShowDataInstance(), SequencerEditInstance(), *Clipboards, ShownSeq()))
        SpeedButtonPasteSequens->setEnabled(true);
}

void TFormSequenser::SpeedButtonCopySequensClick() {
    // Paste goes off first, so a failed copy never leaves an older pattern to paste.
    SpeedButtonPasteSequens->setEnabled(false);
    SaveToUndo();
    if (CopySequencer(ShowDataInstance(), SequencerEditInstance(), *Clipboards, ShownSeq()))
        SpeedButtonPasteSequens->setEnabled(true);
}

void TFormSequenser::SpeedButtonPasteSequensClick() {
    SaveToUndo();
    PastePattern(ShowDataInstance(), SequencerEditInstance(), *Clipboards, ShownSeq());
    SpeedButtonPasteSequens->setEnabled(false);
    RedrawAllarea();
}

// --- Popup items -----------------------------------------------------------------------------

void TFormSequenser::popur_clear_scenaClick() {
    const int seq = ShownSeq();
    if (seq == kLastSequencer) return;
    UncheckRecOn();
    SaveToUndo();
    ClearScene(ShowDataInstance(), seq, StepBarPosition());
    RedrawNewSeq();
}

void TFormSequenser::popur_Clear_all_seqClick() {
    const int seq = ShownSeq();
    if (seq == kLastSequencer) return;
    UncheckRecOn();
    SaveToUndo();
    if (Messages().question("Стереть секвенсер " + std::to_string(seq + 1)) == Answer::Yes)
        ClearSequencerLevels(ShowDataInstance(), seq);
    RedrawNewSeq();
}

void TFormSequenser::Popur_Copy_seqClick() {
    const int seq = ShownSeq();
    if (seq == kLastSequencer) return;
    CopySequencerLevels(ShowDataInstance(), *Clipboards, seq);
    Popur_paste_seq->setEnabled(true);
}

void TFormSequenser::Popur_paste_seqClick() {
    SaveToUndo();
    PasteSequencerLevels(ShowDataInstance(), *Clipboards, ShownSeq());
    RedrawNewSeq();
}

void TFormSequenser::Popur_InsertClick() { spirelo::NormaliseSelection(SequencerEditInstance()); }

// --- Paint tools on the window's view --------------------------------------------------------

namespace ReadSave {

namespace {
bool HaveWindow(const char* where, const char* info) {
    if (FormSequenser) return true;
    WriteLog("ReadSave ", where, info);
    return false;
}
uint8_t PaintValue() { return uint8_t(ShowDataInstance().EditorSettings[7] & 0xFF); }
}  // namespace

void RecPix(int Channel, int Step, int Seq) {
    if (!HaveWindow("RecPix", "not assigned ")) return;
    spirelo::RecPix(ShowDataInstance(), ValueFromColor(FormSequenser->PaintColour()), Channel, Step, Seq);
}

void NormaliseSelection() {
    if (!FormSequenser) WriteLog("ReadSave ", "FillRectColor", " ");
    spirelo::NormaliseSelection(SequencerEditInstance());
}

void FillRectColor() {
    if (!FormSequenser) {
        spirelo::NormaliseSelection(SequencerEditInstance());
        WriteLog("ReadSave ", "FillRectColor", " ");
        return;
    }
    spirelo::FillRectColor(ShowDataInstance(), SequencerEditInstance(), FormSequenser->SpotView(),
                           ValueFromColor(FormSequenser->PaintColour()));
}

void FillRectKlapan() {
    if (!FormSequenser) {
        spirelo::NormaliseSelection(SequencerEditInstance());
        WriteLog("ReadSave ", "FillRectKlapan", " ");
        return;
    }
    spirelo::FillRectKlapan(ShowDataInstance(), SequencerEditInstance(), FormSequenser->KlapanView(), PaintValue());
}

void drawLineColor() {
    if (!HaveWindow("drawLineColor", "not assigned")) return;
    spirelo::drawLineColor(ShowDataInstance(), SequencerEditInstance(), FormSequenser->SpotView(),
                           ValueFromColor(FormSequenser->PaintColour()));
}

void drawTwoLineColor() {
    if (!HaveWindow("drawTwoLineColor", "not assigned ")) return;
    spirelo::drawTwoLineColor(ShowDataInstance(), SequencerEditInstance(), FormSequenser->SpotView(),
                              ValueFromColor(FormSequenser->PaintColour()));
}

void LineBetween() {
    if (!FormSequenser) return;
    spirelo::LineBetween(ShowDataInstance(), SequencerEditInstance(), FormSequenser->KlapanView(), PaintValue());
}

}  // namespace ReadSave
