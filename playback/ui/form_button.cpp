#include "playback/ui/form_button.h"

#include "common/ui/qt_helpers.h"
#include "core/show_data.h"
#include "platform/program_paths.h"
#include "playback/show_buttons.h"
#include "playback/ui/form_sound.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

using namespace spirelo;

TFormButton* FormButton = nullptr;

namespace {

constexpr uint32_t kMoneyGreenValue = 0xC0DCC0;   // RGB(192, 220, 192)
constexpr uint32_t kAquaValue = 0xFFFF00;         // RGB(0, 255, 255)

QString PictureFile(int i) {
    const std::string name = ShowButtonPictureName(i);
    const std::string& folder = ShowDataInstance().ProgramFolder;
    if (!folder.empty() && QFileInfo::exists(QString::fromStdString(folder + name)))
        return QString::fromStdString(folder + name);
    // An installed program ships its pictures in its data folder.
    const std::string shipped = InstalledDataFolder();
    if (!shipped.empty() && QFileInfo::exists(QString::fromStdString(shipped + name)))
        return QString::fromStdString(shipped + name);
    return QString::fromStdString(BesideProgramFolder() + name);
}

}  // namespace

void ShowButtonShape::setBrushColor(uint32_t color) {
    if (color == brush_) return;
    brush_ = color;
    update();
}

void ShowButtonShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 0x80), 3));
    p.setBrush(ColorFromValue(brush_));
    p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 12, 12);
}

bool ShowButtonPicture::load(const QString& path) {
    image_ = QImage();
    QImage img(path, "BMP");
    if (img.isNull()) return false;
    img = img.convertToFormat(QImage::Format_ARGB32);
    const QRgb clear = img.pixel(0, img.height() - 1);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (line[x] == clear) line[x] = 0;
    }
    image_ = img;
    return true;
}

void ShowButtonPicture::paintEvent(QPaintEvent*) {
    if (image_.isNull()) return;
    QPainter p(this);
    p.drawImage(rect(), image_);
}

TFormButton::TFormButton(QWidget* parent) : QWidget(parent) {
    createControls();
}

TFormButton::~TFormButton() {
    FormDestroy();
}

void TFormButton::createControls() {
    setObjectName("FormButton");
    // The form itself holds no controls: FormCreate makes them for the screen it finds.
}

void TFormButton::FormCreate() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect full = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const int W = full.width(), H = full.height();
    setWindowTitle("CREATED PROGRAMMS");
    move(0, 0);
    resize(W, H);

    QFont numberFont = font();
    numberFont.setPointSize(14);
    numberFont.setBold(true);
    QFont nameFont = font();
    nameFont.setPointSize(10);
    nameFont.setBold(true);
    for (int i = 0; i < kShowButtons; ++i) {
        const ShowButtonGeometry g = ShowButtonAt(W, H, i);
        auto* shape = new ShowButtonShape(this);
        shape->setGeometry(g.shape.x, g.shape.y, g.shape.w, g.shape.h);
        auto* picture = new ShowButtonPicture(this);
        picture->setGeometry(g.picture.x, g.picture.y, g.picture.w, g.picture.h);
        if (!picture->load(PictureFile(i))) picture->hide();
        auto* number = new QLabel(QString::number(i + 1), this);
        number->setFont(numberFont);
        number->move(g.numberX, g.numberY);
        number->resize(number->sizeHint());
        auto* name = new QLabel(this);
        name->setFont(nameFont);
        name->move(g.nameX, g.nameY);
        for (QWidget* w : std::initializer_list<QWidget*>{shape, picture, number, name}) {
            w->setProperty("Tag", i);
            w->setToolTip(QString("Button%1").arg(i + 1));
            w->setCursor(Qt::PointingHandCursor);
            w->installEventFilter(this);
        }
        ButtonShapes[i] = shape;
        ButtonImages[i] = picture;
        ButtonNumberLabels[i] = number;
        ButtonNameLabels[i] = name;
    }
    ReadShowNames();
    if (ShowDataInstance().ProgramFlags[4]) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        show();
    }
}

void TFormButton::FormDestroy() {
    for (int i = 0; i < kShowButtons; ++i) {
        delete ButtonShapes[i];
        delete ButtonImages[i];
        delete ButtonNumberLabels[i];
        delete ButtonNameLabels[i];
        ButtonShapes[i] = nullptr;
        ButtonImages[i] = nullptr;
        ButtonNumberLabels[i] = nullptr;
        ButtonNameLabels[i] = nullptr;
    }
}

void TFormButton::ReadShowNames() {
    const QListWidget* list = FormSound ? FormSound->ListBoxShow : nullptr;
    const int count = list ? list->count() : 0;
    for (int i = 0; i < kShowButtons; ++i) {
        if (!ButtonNameLabels[i]) continue;
        const QString name = i < count ? QString::fromStdString(OnlyMinName(list->item(i)->text().toStdString())) : QString();
        ButtonNameLabels[i]->setText(name);
        ButtonNameLabels[i]->resize(ButtonNameLabels[i]->sizeHint());
    }
}

void TFormButton::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ReadShowNames();   // the list may have changed since the buttons were made
}

bool TFormButton::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const QVariant tag = watched->property("Tag");
        if (tag.isValid()) {
            onClickButton(tag.toInt());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFormButton::onClickButton(int Index) {
    if (!FormSound || !FormSound->ListBoxShow) return;
    QListWidget* list = FormSound->ListBoxShow;
    if (!ShowButtonPressable(Index, list->count())) return;
    list->setCurrentRow(Index);
    ShowDataInstance().ProgramOptions[24] = list->currentRow();
    FormSound->PlayListBoxCurrent();
    SelectedButton = Index;
    for (int i = 0; i < kShowButtons; ++i)
        if (ButtonShapes[i]) ButtonShapes[i]->setBrushColor(i == SelectedButton ? kAquaValue : kMoneyGreenValue);
}
