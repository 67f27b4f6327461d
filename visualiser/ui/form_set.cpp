#include "visualiser/ui/form_set.h"

#include "common/text_codec.h"
#include "common/ui/qt_helpers.h"
#include "platform/message_service.h"
#include "visualiser/layout_file.h"
#include "visualiser/ui/form_main.h"
#include "visualiser/visualiser_state.h"

#include <QVBoxLayout>

using namespace spirelo;

TFormSet* FormSet = nullptr;

namespace {
const char* kCaption = "Установка параметров фонтана";
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TFormSet::TFormSet(QWidget* parent) : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint) {
    createControls();
}

TFormSet::~TFormSet() { FormDestroy(); }

void TFormSet::createControls() {
    setWindowTitle(kCaption);
    auto* lay = new QVBoxLayout(this);
    LabelNomber = new QLabel("Номер коллектора 1", this);
    ScrollBarNomberKollectors = new QScrollBar(Qt::Horizontal, this);
    ScrollBarNomberKollectors->setRange(1, kCollectors);
    ScrollBarNomberKollectors->setValue(1);
    MemoTxt = new QPlainTextEdit(this);
    lay->addWidget(LabelNomber);
    lay->addWidget(ScrollBarNomberKollectors);
    lay->addWidget(MemoTxt, 1);
    resize(520, 400);

    TimerPaint = MakeTimer(this, 1000);
    dlgOpen.Filter = dlgSave.Filter = "Файлы виртуального фонтана *.a3d |*.a3d";
    dlgOpen.DefaultExt = dlgSave.DefaultExt = "*.a3d";

    connect(ScrollBarNomberKollectors, &QScrollBar::valueChanged, this, [this] { ScrollBarNomberKollectorsChange(); });
    connect(TimerPaint, &QTimer::timeout, this, [this] { TimerPaintTimer(); });
}

void TFormSet::FormCreate() {
    IniFile& ini = FormMain->Ini();
    int left = int(ini.readInteger("FormSet", "Left", 500));
    int top = int(ini.readInteger("FormSet", "Top", 500));
    ini.readInteger("FormSet", "Kollectors", 1);   // read as before; the selector starts at 1
    move(left, top);
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

void TFormSet::saveNotes() {
    const std::string& layout = VisualiserInstance().LayoutFileName;
    std::string text = MemoTxt->toPlainText().toStdString();
    // Without a loaded layout there is nothing to keep notes for unless some were typed.
    if (layout == kNoLayoutFile && text.empty()) return;
    IoResult io = WriteTextCompanion(LayoutNotesPath(layout), text);
    if (!io) Messages().error("Не могу записать " + LayoutNotesPath(layout) + "\r\n" + io.message);
}

bool TFormSet::OpenFile(const std::string& path) {
    VisualiserState& s = VisualiserInstance();
    LayoutLoadResult r = LoadLayoutFile(path, s.collectors);
    if (FormMain) FormMain->setWindowTitle(Q(r.caption));
    if (!r.message.empty()) Messages().message(r.message);
    if (!r.ok()) return false;
    // The notes belong to their layout: keep the old ones, then show the new layout's.
    if (s.LayoutFileName != path) saveNotes();
    s.LayoutFileName = path;
    std::string notes;
    MemoTxt->setPlainText(ReadTextCompanion(LayoutNotesPath(path), notes) ? Q(notes) : QString());
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

bool TFormSet::OpenLayout(const std::string& path) {
    if (!OpenFile(path)) return false;
    setWindowTitle(Q(std::string(kCaption) + " File:" + path));
    dlgSave.FileName = Q(path);
    VisualiserInstance().CurrentCollector = 1;
    ScrollBarNomberKollectors->setValue(1);
    ReturnScrollKollektor();
    return true;
}

void TFormSet::ScrollBarNomberKollectorsChange() {
    VisualiserInstance().CurrentCollector = ScrollBarNomberKollectors->value();
    ReturnScrollKollektor();
}

void TFormSet::ReturnScrollKollektor() {
    int c = VisualiserInstance().CurrentCollector;
    LabelNomber->setText("Номер коллектора " + QString::number(c));
}

void TFormSet::PaintDiagram() {
    // The top-view diagram belongs to the full parameter window.
}

void TFormSet::TimerPaintTimer() {
    PaintDiagram();
    VisualiserState& s = VisualiserInstance();
    RecountJets(s.collectors, s.jets);
}
