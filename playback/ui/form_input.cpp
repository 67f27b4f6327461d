#include "playback/ui/form_input.h"

#include "common/ui/key_codes.h"
#include "common/ui/qt_helpers.h"
#include "common/ui/text_fit.h"
#include "core/show_data.h"
#include "core/ui/form_maim.h"
#include "core/ui/jpeg_picture.h"
#include "playback/scene_input.h"
#include "playback/show_clock.h"
#include "playback/ui/form_sound.h"
#include "playback/ui/key_drawing.h"
#include "playback/ui/key_preview.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include <algorithm>

using namespace spirelo;

TFormInput* FormInput = nullptr;

namespace {

const unsigned char kInputColors[] = {
#include "input_colors.inc"
};

QLabel* MakeLabel(QWidget* parent, int x, int y, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    l->resize(l->sizeHint());
    return l;
}

QToolButton* MakeButton(QWidget* parent, int x, int y, const QString& text) {
    auto* b = new QToolButton(parent);
    b->setGeometry(x, y, 36, 20);
    b->setText(text);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

}  // namespace

TFormInput::TFormInput(QWidget* parent) : QWidget(parent) {
    createControls();
    spirelo::FitTexts(this);
}

TFormInput::~TFormInput() = default;

void TFormInput::createControls() {
    setWindowTitle(QStringLiteral("Ввод"));
    setObjectName("FormInput");
    setWindowFlag(Qt::Dialog);
    setFixedSize(1068, 262);

    pgc = new QTabWidget(this);
    pgc->setTabPosition(QTabWidget::West);
    pgc->setGeometry(0, 0, 1068, 262);
    pgc->setFocusPolicy(Qt::NoFocus);
    ts1 = new QWidget();
    ts2 = new QWidget();
    pgc->addTab(ts1, "Scenes");
    pgc->addTab(ts2, "Color");

    pbScenes = new SoundPaintBox(ts1, 2, 2, 1024, 208);
    ScenesBitmap = QPixmap(1024, 208);
    SpeedButton1 = MakeButton(ts1, 2, 214, "<<");
    ScrollBarInputScena = new QScrollBar(Qt::Horizontal, ts1);
    ScrollBarInputScena->setGeometry(40, 216, 300, 16);
    ScrollBarInputScena->setRange(0, kInputFirstSceneMax);
    ScrollBarInputScena->setPageStep(1);
    SpeedButton2 = MakeButton(ts1, 342, 214, ">>");
    LabelStart = MakeLabel(ts1, 40, 234, "1");
    Labelcoda = MakeLabel(ts1, 310, 234, "64");
    ScrollBarSeqInput = new QScrollBar(Qt::Horizontal, ts1);
    ScrollBarSeqInput->setGeometry(400, 216, 200, 16);
    ScrollBarSeqInput->setRange(0, kSequencers - 1);
    ScrollBarSeqInput->setPageStep(1);
    Labelseq = MakeLabel(ts1, 400, 234, "Сцена Х");
    Labelseq->resize(200, Labelseq->height());
    SpeedButton3 = MakeButton(ts1, 640, 214, "<<");
    SpeedButton4 = MakeButton(ts1, 678, 214, ">>");
    Label3 = MakeLabel(ts1, 730, 216, "Выбор сцен для записи");

    img = new SoundPaintBox(ts2, 8, 0, 255, 255);
    img->Bitmap.fill(Qt::white);
    const QImage picture = DecodeJpeg(kInputColors, sizeof kInputColors);
    if (!picture.isNull()) img->Bitmap = QPixmap::fromImage(picture.scaled(255, 255));
    img->setCursor(Qt::CrossCursor);
    shp1 = new SoundShape(ts2, 280, 20, 65, 65, SoundShape::Rectangle, 0xFFFFFF);
    LabelG = MakeLabel(ts2, 280, 100, "Плавные тона");
    Label1 = MakeLabel(ts2, 280, 124, "Опция в процессе тестирования");

    tmr = MakeTimer(this, 1000);

    connect(tmr, &QTimer::timeout, this, &TFormInput::repaintScenes);
    connect(ScrollBarSeqInput, &QScrollBar::valueChanged, this, &TFormInput::ScrollBarSeqInputChange);
    connect(ScrollBarInputScena, &QScrollBar::valueChanged, this, &TFormInput::ScrollBarInputScenaChange);
    for (QToolButton* b : {SpeedButton1, SpeedButton3}) connect(b, &QToolButton::clicked, this, &TFormInput::SpeedButton1Click);
    for (QToolButton* b : {SpeedButton2, SpeedButton4}) connect(b, &QToolButton::clicked, this, &TFormInput::SpeedButton2Click);
    connect(pbScenes, &SoundPaintBox::mouseDown, this,
            [this](Qt::MouseButton b, int x, int, Qt::KeyboardModifiers) { pbScenesMouseDown(b, x); });
    connect(pbScenes, &SoundPaintBox::mouseMove, this,
            [this](int x, int, Qt::MouseButtons b, Qt::KeyboardModifiers) { pbScenesMouseMove(b, x); });
    connect(img, &SoundPaintBox::mouseMove, this,
            [this](int x, int y, Qt::MouseButtons b, Qt::KeyboardModifiers) { imgMouseMove(b, x, y); });
    connect(img, &SoundPaintBox::mouseDown, this, [this](Qt::MouseButton b, int x, int y, Qt::KeyboardModifiers) {
        imgMouseMove(b == Qt::LeftButton ? Qt::LeftButton : Qt::NoButton, x, y);
    });
    new KeyPreview(this, [this](QWidget*, QKeyEvent* e) { FormKeyDown(VirtualKeyFromEvent(e)); });
}

void TFormInput::FormCreate() {
    SetTimerEnabled(tmr, true);
}

void TFormInput::repaintScenes() {
    DrawSceneTable(ScenesBitmap, ShowDataInstance(), ScrollBarSeqInput->value(), ScrollBarInputScena->value(),
                   ts1->palette().window().color());
    pbScenes->CopyBitmap(ScenesBitmap);
}

void TFormInput::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Labelseq->setText(QString("Sequenser %1").arg(ScrollBarSeqInput->value() + 1));
    repaintScenes();
}

void TFormInput::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (pbScenes) repaintScenes();
}

void TFormInput::closeEvent(QCloseEvent* event) {
    // Closing the panel is leaving the colour-area mode; hiding it by the mode buttons is not.
    if (FormSound && FormSound->sbPlayTrack) FormSound->sbPlayTrack->setChecked(true);
    event->accept();
}

void TFormInput::FormKeyDown(int Key) {
    if (Key != kVkSpace) return;
    if (!FormMaim || !FormMaim->sbNewStart || !FormMaim->sbNewStart->isEnabled() || !FormSound) return;
    FormSound->NewStartCopy();
    ClearDmxBuffers(ShowDataInstance());
}

void TFormInput::ScrollBarSeqInputChange() {
    Labelseq->setText(QString("Sequenser %1").arg(ScrollBarSeqInput->value() + 1));
    repaintScenes();
}

void TFormInput::ScrollBarInputScenaChange() {
    repaintScenes();
    const int p = ScrollBarInputScena->value();
    LabelStart->setText(QString::number(p + 1));
    Labelcoda->setText(QString::number(p + 64));
    LabelStart->resize(LabelStart->sizeHint());
    Labelcoda->resize(Labelcoda->sizeHint());
}

void TFormInput::SpeedButton1Click() { ScrollBarInputScena->setValue(ScrollBarInputScena->value() - 48); }
void TFormInput::SpeedButton2Click() { ScrollBarInputScena->setValue(ScrollBarInputScena->value() + 48); }

void TFormInput::recordAt(int x) {
    InputRecordStep(ShowDataInstance(), ScrollBarSeqInput->value(), InputSceneFromX(ScrollBarInputScena->value(), x),
                    ShowClockInstance().CurStep);
}

void TFormInput::pbScenesMouseDown(Qt::MouseButton button, int x) {
    if (button == Qt::LeftButton) recordAt(x);
}

void TFormInput::pbScenesMouseMove(Qt::MouseButtons buttons, int x) {
    if (buttons & Qt::LeftButton) recordAt(x);
}

void TFormInput::imgMouseMove(Qt::MouseButtons buttons, int x, int y) {
    x = std::clamp(x, 0, 254);
    y = std::clamp(y, 0, 254);
    shp1->setBrushColor(InputPickColor(x, y));
    if (!(buttons & Qt::LeftButton)) return;   // bare moves over the picture record nothing
    ShowData& d = ShowDataInstance();
    InputRecordStep(d, std::clamp(d.EditorSettings[9], 0, kSequencers - 1), InputSceneFromX(ScrollBarInputScena->value(), x),
                    ShowClockInstance().CurStep);
}
