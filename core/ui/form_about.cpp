#include "core/ui/form_about.h"

#include "common/ui/text_fit.h"
#include "core/ui/jpeg_picture.h"
#include "platform/program_paths.h"

#include <QDesktopServices>
#include <QEvent>
#include <QMouseEvent>
#include <QUrl>

#include <cstdio>
#include <sys/stat.h>

#ifndef SPIRELO_VERSION
#define SPIRELO_VERSION ""
#endif

TFormAbout* FormAbout = nullptr;

const char* const TFormAbout::kMailAddress = "fountains@spirelo.example.org";
const char* const TFormAbout::kWebAddress = "https://spirelo.example.org/";

namespace {

const unsigned char kAboutPicture[] = {
#include "about_picture.inc"
};

const QColor kLinkNormal(0, 0, 128);    // navy
const QColor kLinkHover(255, 0, 0);
const QColor kLinkVisited(0, 128, 0);

void SetLabelColour(QLabel* label, const QColor& c) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, c);
    label->setPalette(p);
}

}  // namespace

void GetFileVersion(const std::string& FileName, std::string& S) {
    S.clear();
    if (FileName.empty()) return;
    struct stat st{};
    if (::stat(FileName.c_str(), &st) != 0) return;
    S = SPIRELO_VERSION;
}

QByteArray TFormAbout::PictureBytes() {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(kAboutPicture), sizeof kAboutPicture);
}

TFormAbout::TFormAbout(QWidget* parent) : QWidget(parent) {
    createControls();
    spirelo::FitTexts(this);
}

TFormAbout::~TFormAbout() = default;

void TFormAbout::createControls() {
    setWindowTitle(QStringLiteral("About Spirelo"));
    setFixedSize(430, 300);
    setMouseTracking(true);

    auto label = [this](QLabel*& l, const QString& text, int x, int y, int w, int h) {
        l = new QLabel(text, this);
        l->setGeometry(x, y, w, h);
        l->setMouseTracking(true);
        return l;
    };

    Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 414, 240);
    Bevel2 = new QFrame(this);
    Bevel2->setFrameShape(QFrame::HLine);
    Bevel2->setFrameShadow(QFrame::Sunken);
    Bevel2->setGeometry(208, 96, 204, 4);

    Image1 = new QLabel(this);
    Image1->setGeometry(18, 18, 180, 180);
    Image1->setPixmap(QPixmap::fromImage(spirelo::DecodeJpeg(kAboutPicture, sizeof kAboutPicture)));

    // Two labels, the one behind a shade offset, as the product name was drawn.
    QFont big = font();
    big.setPixelSize(24);
    big.setBold(true);
    label(Label8, QStringLiteral("SPIRELO "), 212, 22, 200, 34)->setFont(big);
    SetLabelColour(Label8, QColor(160, 160, 160));
    label(Label7, QStringLiteral("SPIRELO "), 210, 20, 200, 34)->setFont(big);
    SetLabelColour(Label7, QColor(0, 0, 128));
    label(Label3, QStringLiteral("Spirelo"), 210, 58, 200, 18);
    label(Labelvers, QStringLiteral("Version"), 210, 76, 200, 18);
    label(lbl1, QStringLiteral("INDUSTRIAL EQUIPMENT CONTROL DEVICE"), 18, 204, 400, 18);
    label(Labeldata, QStringLiteral("October 2017"), 210, 106, 200, 18);
    label(LabelLogin, QString::fromLatin1(kMailAddress), 210, 140, 205, 18);
    label(LabelHTTP, QString::fromLatin1(kWebAddress), 210, 162, 205, 18);
    for (QLabel* link : {LabelLogin, LabelHTTP}) {
        SetLabelColour(link, kLinkNormal);
        QFont f = link->font();
        f.setUnderline(true);
        link->setFont(f);
        link->installEventFilter(this);
    }

    BitBtnClose = new QPushButton(QStringLiteral("OK"), this);
    BitBtnClose->setGeometry(172, 258, 86, 30);
    BitBtnClose->setDefault(true);
    connect(BitBtnClose, &QPushButton::clicked, this, [this] { BitBtnCloseClick(); });
}

void TFormAbout::FormCreate() {
    std::string version;
    GetFileVersion(spirelo::ProgramFile(), version);
    Labelvers->setText(QStringLiteral("Version (Build ") + QString::fromStdString(version) + ")");
    // A version with its commit is longer than the resource's text the label was fitted to.
    spirelo::FitTexts(this);
}

void TFormAbout::BitBtnCloseClick() { close(); }

void TFormAbout::LabelLoginClick() {
    SetLabelColour(LabelLogin, kLinkVisited);
    // A link the desktop cannot open is ignored.
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + QString::fromLatin1(kMailAddress)));
}

void TFormAbout::LabelLoginMouseMove() {
    SetLabelColour(LabelLogin, kLinkHover);
    LabelLogin->setCursor(Qt::PointingHandCursor);
}

void TFormAbout::LabelLoginMouseLeave() { SetLabelColour(LabelLogin, kLinkNormal); }

void TFormAbout::LabelHTTPClick() {
    SetLabelColour(LabelHTTP, kLinkVisited);
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebAddress)));
}

void TFormAbout::LabelHTTPMouseMove() {
    SetLabelColour(LabelHTTP, kLinkHover);
    LabelHTTP->setCursor(Qt::PointingHandCursor);
}

void TFormAbout::LabelHTTPMouseLeave() { SetLabelColour(LabelHTTP, kLinkNormal); }

void TFormAbout::FormMouseMove() { LabelHTTP->setCursor(Qt::ArrowCursor); }

void TFormAbout::mouseMoveEvent(QMouseEvent* event) {
    FormMouseMove();
    QWidget::mouseMoveEvent(event);
}

bool TFormAbout::eventFilter(QObject* watched, QEvent* event) {
    const bool login = watched == LabelLogin;
    const bool http = watched == LabelHTTP;
    if (!login && !http) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseMove:
            login ? LabelLoginMouseMove() : LabelHTTPMouseMove();
            break;
        case QEvent::Leave:
            login ? LabelLoginMouseLeave() : LabelHTTPMouseLeave();
            break;
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(event);
            auto* w = static_cast<QWidget*>(watched);
            if (me->button() == Qt::LeftButton && w->rect().contains(me->position().toPoint()))
                login ? LabelLoginClick() : LabelHTTPClick();
            break;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}
