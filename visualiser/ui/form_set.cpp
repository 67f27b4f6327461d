#include "visualiser/ui/form_set.h"

#include "common/file_io.h"
#include "common/ui/qt_helpers.h"
#include "common/ui/text_fit.h"
#include "common/ui/window_placement.h"
#include "platform/message_service.h"
#include "platform/termination_signals.h"
#include "visualiser/layout_file.h"
#include "visualiser/layout_report.h"
#include "visualiser/ui/form_main.h"
#include "visualiser/ui/print_dialog.h"
#include "visualiser/visualiser_state.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <ctime>
#include <filesystem>

using namespace spirelo;

TFormSet* FormSet = nullptr;

namespace {

const char* kCaption = "Установка параметров фонтана";
QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr int kPanelLeft = 4;
constexpr int kPanelWidth = 244;
constexpr int kViewLeft = 254;
constexpr int kViewTop = 34;
constexpr int kViewHeight = 800;
constexpr int kVertRange = kDiagramSize - kViewHeight;   // 0..200

QToolButton* MakeSpeedButton(QWidget* parent, const QString& caption, const QString& hint, int& x,
                             bool checkable = false) {
    auto* b = new QToolButton(parent);
    b->setText(caption);
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCheckable(checkable);
    int w = std::max(30, b->fontMetrics().horizontalAdvance(caption) + 14);
    b->setGeometry(x, 3, w, 26);
    x += w + 2;
    return b;
}

QLabel* MakeLabel(QWidget* parent, int y) {
    auto* l = new QLabel(parent);
    l->setGeometry(kPanelLeft, y, kPanelWidth, 17);
    return l;
}

QScrollBar* MakeBar(QWidget* parent, int min, int max, int page, int y) {
    auto* s = new QScrollBar(Qt::Horizontal, parent);
    s->setRange(min, max);
    s->setPageStep(page);
    s->setGeometry(kPanelLeft, y, kPanelWidth, 16);
    return s;
}

QLineEdit* MakeEdit(QWidget* parent, const QString& hint, int x, int y, int w) {
    auto* e = new QLineEdit(parent);
    e->setToolTip(hint);
    e->setGeometry(x, y, w, 22);
    return e;
}

}  // namespace

DiagramBox::DiagramBox(TFormSet* owner, QWidget* parent) : QWidget(parent), owner_(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DiagramBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    int top = owner_->ScrollBarVert->value();
    p.drawImage(QPoint(0, 0), owner_->DiagramImage(), QRect(0, top, kDiagramSize, kViewHeight));
}

TFormSet::TFormSet(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint),
      diagram_(kDiagramSize, kDiagramSize, QImage::Format_RGB32) {
    diagram_.fill(Qt::white);
    createControls();
    spirelo::FitTexts(this);
}

TFormSet::~TFormSet() { FormDestroy(); }

void TFormSet::createControls() {
    setWindowTitle(kCaption);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, false);
    setFixedSize(kViewLeft + kDiagramSize + 22, kViewTop + kViewHeight + 4);

    int x = kPanelLeft;
    SpeedButtonNew = MakeSpeedButton(this, "New", "Новый файл", x);
    SpeedButtonOpen = MakeSpeedButton(this, "Open", "Открыть файл", x);
    SpeedButtonSave = MakeSpeedButton(this, "Save", "Сохранить", x);
    SpeedButtonSaveAs = MakeSpeedButton(this, "Save as", "Сохранить с новым именем", x);
    x += 8;
    SpeedButtonCopyFromLast = MakeSpeedButton(this, "Copy last", "Копирование с предыдущей", x);
    SpeedButtonCopy = MakeSpeedButton(this, "Copy", "Копирование в буфер", x);
    SpeedButtonPaste = MakeSpeedButton(this, "Paste", "Вставка из буфера", x);
    x += 8;
    SpeedButtonGrid = MakeSpeedButton(this, "Grid", "Вкл сетку", x, true);
    SpeedButtonArea = MakeSpeedButton(this, "Diagram", "Схема", x, true);
    SpeedButtonMemoRaschet = MakeSpeedButton(this, "Report", "Расчёт", x, true);
    btn5 = MakeSpeedButton(this, "Calc", "Расчёт", x, true);
    SpeedButtonMemoTxt = MakeSpeedButton(this, "Notes", "Заметки", x, true);
    viewGroup = new QButtonGroup(this);
    viewGroup->setExclusive(true);
    for (QToolButton* b : {SpeedButtonArea, SpeedButtonMemoRaschet, btn5, SpeedButtonMemoTxt}) viewGroup->addButton(b);
    SpeedButtonArea->setChecked(true);
    x += 8;
    SpeedButtonPrint = MakeSpeedButton(this, "Print", "Печать", x);
    x += 8;
    SpeedButtonChkOn = MakeSpeedButton(this, "on", "Включить все коллекторы", x);
    SpeedButtonChkOff = MakeSpeedButton(this, "off", "Только текущий коллектор", x);
    btn7 = MakeSpeedButton(this, "WR", "Записать образец", x);
    SpeedButtonPaste->setEnabled(false);

    int y = kViewTop;
    LabelNomber = MakeLabel(this, y);
    LabelNomber->setText(Q(NumberLabel(1)));
    ScrollBarNomberKollectors = MakeBar(this, 1, kCollectors, 10, y + 18);
    ScrollBarNomberKollectors->setValue(1);
    y += 40;
    ComboBoxType = new QComboBox(this);
    for (int k = 0; k < kCollectorKinds; ++k) ComboBoxType->addItem(Q(CollectorKindText(k)));
    ComboBoxType->setGeometry(kPanelLeft, y, 170, 24);
    chkon = new QCheckBox("on", this);
    chkon->setGeometry(kPanelLeft + 178, y, kPanelWidth - 178, 24);
    y += 28;
    ComboBoxJet = new QComboBox(this);
    for (int k = 0; k < kNozzleKinds; ++k) ComboBoxJet->addItem(Q(NozzleText(k)));
    ComboBoxJet->setGeometry(kPanelLeft, y, 170, 24);
    y += 28;
    EditName = MakeEdit(this, "Имя коллектора", kPanelLeft, y, kPanelWidth);
    y += 26;
    const int w3 = (kPanelWidth - 8) / 3;
    EditPosX = MakeEdit(this, "X, m", kPanelLeft, y, w3);
    EditPosY = MakeEdit(this, "Y, m", kPanelLeft + w3 + 4, y, w3);
    EditPosZ = MakeEdit(this, "Z, m", kPanelLeft + 2 * (w3 + 4), y, w3);
    y += 26;
    EditSweep = MakeEdit(this, "Размер коллектора, m", kPanelLeft, y, w3);
    EditHigh = MakeEdit(this, "Высота струи, m", kPanelLeft + w3 + 4, y, w3);
    EditNaklon = MakeEdit(this, "Наклон струи, m", kPanelLeft + 2 * (w3 + 4), y, w3);
    y += 26;
    EditKolvo = MakeEdit(this, "Количество форсунок, шт", kPanelLeft, y, w3);
    EditSpot = MakeEdit(this, "Количество прожекторов, шт", kPanelLeft + w3 + 4, y, w3);
    y += 30;
    fieldEdits_ = {{EditPosX, EditField::PosX},   {EditPosY, EditField::PosY},     {EditPosZ, EditField::PosZ},
                   {EditSweep, EditField::Sweep}, {EditHigh, EditField::High},     {EditNaklon, EditField::Naklon},
                   {EditKolvo, EditField::Kolvo}, {EditSpot, EditField::Spot}};

    auto pair = [&](QLabel*& label, QScrollBar*& bar, int min, int max, int page) {
        label = MakeLabel(this, y);
        bar = MakeBar(this, min, max, page, y + 18);
        y += 38;
    };
    pair(LabelRotatAll, ScrollBarRotatAll, 0, 359, 90);
    pair(LabelRotatJet, ScrollBarRotatJet, 0, 359, 90);
    pair(LabelLengJet, ScrollBarLengJet, 50, 250, 50);
    pair(LabelProp, ScrollBarProporcia, 0, 180, 45);
    pair(LabelSpotDMX, ScrollBarSpotDMX, 0, 512, 48);
    pair(LabelFriqDMX, ScrollBarFriqDMX, 0, 512, 100);
    pair(LabelKlapDMX, ScrollBarKlapDMX, 0, 512, 100);
    pair(LabelSkewDMX, ScrollBarSkewDMX, 0, 512, 10);
    pair(LabelMin, ScrollBarMin, 0, 150, 10);
    pair(LabelMax, ScrollBarMax, 50, 255, 10);
    pair(lblDelay, ScrollBarDElay, 0, 250, 10);
    ScrollBarTimer = MakeBar(this, 3, 21, 1, y);
    ScrollBarTimer->setToolTip("Шаг тура, s");
    ScrollBarTimer->setValue(7);
    ScrollBarLengJet->setValue(100);
    ScrollBarMax->setValue(255);
    updateLabels();

    PaintBox = new DiagramBox(this, this);
    PaintBox->setGeometry(kViewLeft, kViewTop, kDiagramSize, kViewHeight);
    ScrollBarVert = new QScrollBar(Qt::Vertical, this);
    ScrollBarVert->setRange(0, kVertRange);
    ScrollBarVert->setPageStep(100);
    ScrollBarVert->setGeometry(kViewLeft + kDiagramSize + 2, kViewTop, 16, kViewHeight);
    MemoRashet = new QPlainTextEdit(this);
    MemoRashet->setGeometry(kViewLeft, kViewTop, kDiagramSize + 18, kViewHeight);
    MemoRashet->setReadOnly(true);
    MemoRashet->hide();
    MemoTxt = new QPlainTextEdit(this);
    MemoTxt->setGeometry(kViewLeft, kViewTop, kDiagramSize + 18, kViewHeight);
    MemoTxt->hide();

    TimerPaint = MakeTimer(this, 1000);
    dlgOpen.Filter = dlgSave.Filter = "Файлы виртуального фонтана *.a3d |*.a3d";
    dlgOpen.DefaultExt = dlgSave.DefaultExt = "*.a3d";

    connect(ScrollBarNomberKollectors, &QScrollBar::valueChanged, this, [this] { ScrollBarNomberKollectorsChange(); });
    connect(TimerPaint, &QTimer::timeout, this, [this] { TimerPaintTimer(); });
    connect(SpeedButtonNew, &QToolButton::clicked, this, [this] { SpeedButtonNewClick(); });
    connect(SpeedButtonOpen, &QToolButton::clicked, this, [this] { SpeedButtonOpenClick(); });
    connect(SpeedButtonSave, &QToolButton::clicked, this, [this] { SpeedButtonSaveClick(); });
    connect(SpeedButtonSaveAs, &QToolButton::clicked, this, [this] { SpeedButtonSaveAsClick(); });
    connect(SpeedButtonCopyFromLast, &QToolButton::clicked, this, [this] { SpeedButtonCopyFromLastClick(); });
    connect(SpeedButtonCopy, &QToolButton::clicked, this, [this] { SpeedButtonCopyClick(); });
    connect(SpeedButtonPaste, &QToolButton::clicked, this, [this] { SpeedButtonPasteClick(); });
    connect(SpeedButtonGrid, &QToolButton::clicked, this, [this] { SpeedButtonGridClick(); });
    for (QToolButton* b : {SpeedButtonArea, SpeedButtonMemoRaschet, btn5, SpeedButtonMemoTxt})
        connect(b, &QToolButton::clicked, this, [this] { ViewButtonClick(); });
    connect(SpeedButtonPrint, &QToolButton::clicked, this, [this] { SpeedButtonPrintClick(); });
    connect(SpeedButtonChkOn, &QToolButton::clicked, this, [this] { SpeedButtonChkOnClick(); });
    connect(SpeedButtonChkOff, &QToolButton::clicked, this, [this] { SpeedButtonChkOffClick(); });
    connect(btn7, &QToolButton::clicked, this, [this] { btn7Click(); });

    // Only the user's edits write the collector: a refresh must not change what it shows.
    for (const FieldEdit& f : fieldEdits_) {
        f.edit->installEventFilter(this);
        connect(f.edit, &QLineEdit::textEdited, this, [this, f] { editChanged(f.edit, f.field); });
    }
    connect(EditName, &QLineEdit::textEdited, this, [this](const QString& text) {
        SetCollectorName(VisualiserInstance().collectors, CurrentCollector(), text.toStdString());
    });
    connect(ComboBoxType, &QComboBox::activated, this,
            [this](int i) { VisualiserInstance().collectors.Kind[CurrentCollector()] = uint8_t(i); });
    connect(ComboBoxJet, &QComboBox::activated, this,
            [this](int i) { VisualiserInstance().collectors.Nozzle[CurrentCollector()] = uint8_t(i); });
    connect(chkon, &QCheckBox::clicked, this,
            [this](bool on) { VisualiserInstance().collectors.Enabled[CurrentCollector()] = on ? 1 : 0; });

    // A scroll writes the field; a change (the user's or a refresh's) only the label.
    auto scroll = [this](QScrollBar* bar, auto store) {
        connect(bar, &QScrollBar::actionTriggered, this, [this, bar, store](int) {
            store(VisualiserInstance().collectors, CurrentCollector(), bar->sliderPosition());
        });
        connect(bar, &QScrollBar::valueChanged, this, [this] { updateLabels(); });
    };
    scroll(ScrollBarRotatAll, [](CollectorTable& t, int c, int p) { t.RotatAll[c] = float(p); });
    scroll(ScrollBarRotatJet, [](CollectorTable& t, int c, int p) { t.RotatJet[c] = float(p); });
    scroll(ScrollBarLengJet, [](CollectorTable& t, int c, int p) { t.LengJet[c] = uint8_t(p); });
    scroll(ScrollBarProporcia, [](CollectorTable& t, int c, int p) { t.Proporcia[c] = uint8_t(p); });
    scroll(ScrollBarSpotDMX, [](CollectorTable& t, int c, int p) { t.SpotDmx[c] = uint16_t(p); });
    scroll(ScrollBarFriqDMX, [](CollectorTable& t, int c, int p) { t.PumpDmx[c] = uint16_t(p); });
    scroll(ScrollBarKlapDMX, [](CollectorTable& t, int c, int p) { t.ValveDmx[c] = uint16_t(p); });
    scroll(ScrollBarSkewDMX, [](CollectorTable& t, int c, int p) { t.SkewDmx[c] = uint16_t(p); });
    scroll(ScrollBarMin, [](CollectorTable& t, int c, int p) { t.Min[c] = uint8_t(p); });
    scroll(ScrollBarMax, [](CollectorTable& t, int c, int p) { t.Max[c] = uint8_t(p); });
    connect(ScrollBarDElay, &QScrollBar::valueChanged, this, [this] { updateLabels(); });
    connect(ScrollBarTimer, &QScrollBar::valueChanged, this, [](int p) {
        if (FormMain) FormMain->tmrStep->setInterval(p * 1000);
    });
    connect(ScrollBarVert, &QScrollBar::valueChanged, PaintBox, [this] { PaintBox->update(); });
}

void TFormSet::FormCreate() {
    IniFile& ini = FormMain->Ini();
    int left = int(ini.readInteger("FormSet", "Left", 500));
    int top = int(ini.readInteger("FormSet", "Top", 500));
    ini.readInteger("FormSet", "Kollectors", 1);   // read as before; the selector starts at 1
    move(left, top);
    spirelo::KeepOnScreen(this);
    ScrollBarNomberKollectors->setValue(1);
    VisualiserInstance().CurrentCollector = 1;
    std::string path = FormMain->StartLayoutPath();
    if (OpenFile(path)) dlgOpen.FileName = dlgSave.FileName = Q(path);
    ReturnScrollKollektor();
    created_ = true;
    SetTimerEnabled(TimerPaint, true);
}

void TFormSet::FormDestroy() {
    if (TimerPaint) TimerPaint->stop();
    if (!created_ || !FormMain) return;
    created_ = false;
    IniFile& ini = FormMain->Ini();
    ini.writeInteger("FormSet", "Left", pos().x());
    ini.writeInteger("FormSet", "Top", pos().y());
    ini.writeInteger("FormSet", "Kollectors", ScrollBarNomberKollectors->value());
    ini.writeInteger("Price", "Truba_D30mm_S2mm_1m", 1510);
    FormMain->SaveIni();
    saveNotes();
}

int TFormSet::CurrentCollector() const {
    return std::clamp(VisualiserInstance().CurrentCollector, 1, kCollectors);
}

void TFormSet::saveNotes() {
    const std::string& layout = VisualiserInstance().LayoutFileName;
    // Without a layout the notes stay in the memo: the next saved layout takes them along.
    if (layout == kNoLayoutFile) return;
    const std::string path = LayoutNotesPath(layout);
    std::string text = MemoTxt->toPlainText().toStdString();
    if (refusedNotes_.keeps(path, text)) return;
    IoResult io = WriteTextCompanion(path, text);
    if (io) refusedNotes_.saved(path);
    else Messages().error("Не могу записать " + path + "\r\n" + io.message);
}

void TFormSet::KeepNotesWithoutLayout() {
    const VisualiserState& s = VisualiserInstance();
    auto loose = [&] { return NotesWithoutLayout(s.LayoutFileName, MemoTxt->toPlainText().toStdString()); };
    if (!loose()) return;
    if (!EndingOnSignal()) {
        if (Messages().question("Заметки набраны без макета и не сохранены.\r\nСохранить макет вместе с ними?") ==
            Answer::Yes)
            SpeedButtonSaveAsClick();
        // Answered by the operator, not by a signal that ended the box or the dialog.
        if (!EndingOnSignal() || !loose()) return;
    }
    const std::time_t now = std::time(nullptr);
    std::tm when{};
    localtime_r(&now, &when);
    std::string path = KeptNotesPath(s.IniFileName, when);
    std::error_code ec;
    for (int taken = 1; taken < 100 && std::filesystem::exists(path, ec); ++taken)
        path = KeptNotesPath(s.IniFileName, when, taken);
    IoResult io = WriteTextCompanion(path, MemoTxt->toPlainText().toStdString());
    if (!io) {
        Messages().error("Не могу записать " + path + "\r\n" + io.message);
        return;
    }
    Messages().message("Заметки без макета сохранены в " + path);
    if (FormMain) RememberKeptNotes(FormMain->Ini(), path);
}

bool TFormSet::OpenFile(const std::string& path) {
    VisualiserState& s = VisualiserInstance();
    // Asked before the load replaces the layout that the notes were typed for.
    KeepNotesWithoutLayout();
    LayoutLoadResult r = LoadLayoutFile(path, s.collectors);
    if (FormMain) FormMain->setWindowTitle(Q(r.caption));
    if (!r.message.empty()) Messages().message(r.message);
    if (!r.ok()) return false;
    // The notes belong to their layout: keep the old ones, then show the new layout's.
    if (s.LayoutFileName != path) saveNotes();
    s.LayoutFileName = path;
    std::string notes;
    const IoResult io = ReadTextCompanion(LayoutNotesPath(path), notes);
    if (IsReadFailure(LayoutNotesPath(path), io))
        Messages().error("Ошибка чтения файла " + LayoutNotesPath(path) + "\r\n" + io.message);
    refusedNotes_.loaded(LayoutNotesPath(path), io);
    MemoTxt->setPlainText(io ? Q(notes) : QString());
    return true;
}

bool TFormSet::SaveFile() {
    VisualiserState& s = VisualiserInstance();
    if (s.LayoutFileName == kNoLayoutFile) return false;
    LayoutSaveResult r = SaveLayoutFile(s.LayoutFileName, s.collectors);
    if (!r.io) {
        Messages().error("Ошибка записи файла " + s.LayoutFileName + "\r\n" + r.io.message);
        return false;
    }
    if (FormMain) FormMain->setWindowTitle(Q(r.caption));
    return true;
}

void TFormSet::setCaptions(const std::string& path) {
    setWindowTitle(Q(std::string(kCaption) + " File:" + path));
}

bool TFormSet::OpenLayout(const std::string& path) {
    if (!OpenFile(path)) return false;
    setCaptions(path);
    dlgSave.FileName = Q(path);
    VisualiserInstance().CurrentCollector = 1;
    ScrollBarNomberKollectors->setValue(1);
    ReturnScrollKollektor();
    return true;
}

void TFormSet::ScrollBarNomberKollectorsChange() {
    VisualiserInstance().CurrentCollector = ScrollBarNomberKollectors->value();
    LabelNomber->setText(Q(NumberLabel(ScrollBarNomberKollectors->value())));
    ReturnScrollKollektor();
}

void TFormSet::updateLabels() {
    const CollectorTable& t = VisualiserInstance().collectors;
    int c = CurrentCollector();
    LabelRotatAll->setText(Q(RotatAllLabel(ScrollBarRotatAll->value())));
    LabelRotatJet->setText(Q(RotatJetLabel(ScrollBarRotatJet->value())));
    LabelLengJet->setText(Q(LengJetLabel(ScrollBarLengJet->value())));
    LabelProp->setText(Q(ProporciaLabel(ScrollBarProporcia->value())));
    LabelSpotDMX->setText(Q(SpotDmxLabel(ScrollBarSpotDMX->value(), t.SpotGroups[c])));
    LabelFriqDMX->setText(Q(PumpDmxLabel(ScrollBarFriqDMX->value())));
    LabelKlapDMX->setText(Q(ValveDmxLabel(ScrollBarKlapDMX->value(), t.Kolvo[c])));
    LabelSkewDMX->setText(Q(SkewDmxLabel(ScrollBarSkewDMX->value())));
    LabelMin->setText(Q(MinLabel(ScrollBarMin->value())));
    LabelMax->setText(Q(MaxLabel(ScrollBarMax->value())));
    int interval = FormMain ? FormMain->TimerDmxIn->interval() : 25;
    lblDelay->setText(Q(DelayLabel(ScrollBarDElay->value(), interval)));
}

void TFormSet::ReturnScrollKollektor() {
    const CollectorTable& t = VisualiserInstance().collectors;
    int c = CurrentCollector();
    LabelNomber->setText(Q(NumberLabel(c)));
    EditName->setText(Q(NameFieldText(t, c)));
    chkon->setChecked(t.Enabled[c] != 0);
    // An index from a file past the list shows no item.
    ComboBoxType->setCurrentIndex(t.Kind[c] < ComboBoxType->count() ? t.Kind[c] : -1);
    ComboBoxJet->setCurrentIndex(t.Nozzle[c] < ComboBoxJet->count() ? t.Nozzle[c] : -1);
    for (const FieldEdit& f : fieldEdits_) f.edit->setText(Q(EditFieldText(t, c, f.field)));
    auto set = [](QScrollBar* bar, double v, bool round) {
        bar->setValue(ClampPosition(round ? std::round(v) : v, bar->minimum(), bar->maximum()));
    };
    set(ScrollBarRotatAll, t.RotatAll[c], true);
    set(ScrollBarRotatJet, std::trunc(double(t.RotatJet[c])), false);
    set(ScrollBarProporcia, t.Proporcia[c], false);
    set(ScrollBarLengJet, t.LengJet[c], false);
    set(ScrollBarSpotDMX, t.SpotDmx[c], false);
    set(ScrollBarFriqDMX, t.PumpDmx[c], false);
    set(ScrollBarKlapDMX, t.ValveDmx[c], false);
    set(ScrollBarMax, t.Max[c], false);
    set(ScrollBarMin, t.Min[c], false);
    set(ScrollBarSkewDMX, t.SkewDmx[c], false);
    updateLabels();
}

void TFormSet::editChanged(QLineEdit* edit, EditField field) {
    // Text that is not a number (a paste) leaves the field as it was.
    ApplyEditText(VisualiserInstance().collectors, CurrentCollector(), field, edit->text().toStdString());
}

bool TFormSet::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || forwarding_) return QWidget::eventFilter(watched, event);
    auto* edit = qobject_cast<QLineEdit*>(watched);
    auto it = std::find_if(fieldEdits_.begin(), fieldEdits_.end(), [&](const FieldEdit& f) { return f.edit == edit; });
    if (it == fieldEdits_.end()) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    char32_t ch;
    if (key->key() == Qt::Key_Backspace) ch = U'\b';
    else if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->text().isEmpty()) return false;
    else ch = key->text().toUcs4().value(0);
    int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    int length = edit->hasSelectedText() ? int(edit->selectedText().size()) : 0;
    switch (FilterEditKey(edit->text().toStdString(), start, length, ch, it->field)) {
    case KeyVerdict::Accept: return false;
    case KeyVerdict::Drop: return true;
    case KeyVerdict::AcceptAsComma: {
        QKeyEvent comma(QEvent::KeyPress, Qt::Key_Comma, Qt::NoModifier, ",");
        forwarding_ = true;
        QCoreApplication::sendEvent(edit, &comma);
        forwarding_ = false;
        return true;
    }
    }
    return true;
}

void TFormSet::mousePressEvent(QMouseEvent* e) {
    ReturnScrollKollektor();
    QWidget::mousePressEvent(e);
}

void TFormSet::drawOnto(QPainter& p, bool stampDots) {
    DiagramPrimitives(VisualiserInstance().collectors, CurrentCollector(), SpeedButtonGrid->isChecked(), prims_);
    painter_.Draw(p, prims_, stampDots);
}

void TFormSet::PaintDiagram() {
    QPainter p(&diagram_);
    drawOnto(p, true);
    p.end();
    PaintBox->update();
}

void TFormSet::TimerPaintTimer() {
    PaintDiagram();
    VisualiserState& s = VisualiserInstance();
    RecountJets(s.collectors, s.jets);
}

void TFormSet::SpeedButtonNewClick() {
    NewLayout(VisualiserInstance().collectors);
    ReturnScrollKollektor();
}

void TFormSet::SpeedButtonOpenClick() {
    if (!dlgOpen.Execute(this)) return;
    OpenLayout(dlgOpen.FileName.toStdString());
}

void TFormSet::SpeedButtonSaveClick() {
    // Nothing saved yet at that path: ask for one instead of doing nothing.
    if (!FileExists(VisualiserInstance().LayoutFileName)) {
        SpeedButtonSaveAsClick();
        return;
    }
    SaveFile();
}

void TFormSet::SpeedButtonSaveAsClick() {
    if (!dlgSave.Execute(this)) return;
    VisualiserState& s = VisualiserInstance();
    std::string path = dlgSave.FileName.toStdString();
    LayoutSaveResult r = SaveLayoutFile(path, s.collectors);
    if (!r.io) {
        Messages().error("Ошибка записи файла " + path + "\r\n" + r.io.message);
        return;
    }
    // The path changes only once the layout is there; the notes follow it.
    s.LayoutFileName = path;
    if (FormMain) FormMain->setWindowTitle(Q(r.caption));
    setCaptions(path);
    dlgOpen.FileName = Q(path);
    saveNotes();
}

void TFormSet::SpeedButtonCopyFromLastClick() {
    if (CopyFromLast(VisualiserInstance().collectors, CurrentCollector())) ReturnScrollKollektor();
}

void TFormSet::SpeedButtonCopyClick() {
    CopyToBuffer(VisualiserInstance().collectors, CurrentCollector());
    SpeedButtonPaste->setEnabled(true);
}

void TFormSet::SpeedButtonPasteClick() {
    PasteFromBuffer(VisualiserInstance().collectors, CurrentCollector());
    ReturnScrollKollektor();
}

void TFormSet::SpeedButtonGridClick() { PaintDiagram(); }

void TFormSet::ViewButtonClick() {
    PaintBox->setVisible(SpeedButtonArea->isChecked());
    ScrollBarVert->setVisible(SpeedButtonArea->isChecked());
    MemoRashet->setVisible(SpeedButtonMemoRaschet->isChecked() || btn5->isChecked());
    MemoTxt->setVisible(SpeedButtonMemoTxt->isChecked());
    SetDefMemo();
}

void TFormSet::SetDefMemo() {
    saveNotes();
    const VisualiserState& s = VisualiserInstance();
    std::string text = JoinLines(BuildReport(s.collectors, s.LayoutFileName));
    MemoRashet->setPlainText(Q(text));
    if (s.LayoutFileName == kNoLayoutFile) return;
    const std::string path = LayoutReportPath(s.LayoutFileName);
    IoResult io = WriteTextCompanion(path, text);
    if (!io) Messages().error("Не могу записать " + path + "\r\n" + io.message);
}

void TFormSet::SpeedButtonPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    // Without a printer only the PDF file remains, and Qt would propose the home folder itself
    // as its name.
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        const std::string& layout = VisualiserInstance().LayoutFileName;
        QString file = layout != kNoLayoutFile ? Q(LayoutStem(layout) + ".pdf") : QDir::home().filePath("Glimmora.pdf");
        printer.setOutputFileName(file);
    }
    if (!PrintDialog::Execute(printer, this)) return;
    QPainter p;
    if (!p.begin(&printer)) {
        Messages().error("Печать невозможна");
        return;
    }
    // The whole sheet, square, as large as the printable area allows.
    QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    double side = std::min(area.width(), area.height());
    p.scale(side / kDiagramSize, side / kDiagramSize);
    drawOnto(p, false);
    p.end();
}

void TFormSet::SpeedButtonChkOnClick() {
    AllOn(VisualiserInstance().collectors);
    ReturnScrollKollektor();
}

void TFormSet::SpeedButtonChkOffClick() {
    Solo(VisualiserInstance().collectors, CurrentCollector());
    ReturnScrollKollektor();
}

void TFormSet::btn7Click() {
    FillPresetLayout(VisualiserInstance().collectors);
    ReturnScrollKollektor();
}
