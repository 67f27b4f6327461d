#include "core/ui/form_about.h"

#include "core/ui/jpeg_picture.h"
#include "platform/program_paths.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Stands in for the desktop's mail and web handlers.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

QColor TextColour(QLabel* l) { return l->palette().color(QPalette::WindowText); }

}  // namespace

TEST(AboutWindow, VersionTextFromTheProgramFile) {
    TFormAbout about;
    EXPECT_EQ(about.windowTitle(), "About Spirelo");
    EXPECT_EQ(about.Labelvers->text(), "Version");
    about.FormCreate();   // the test program exists, so its version is shown
    const QString text = about.Labelvers->text();
    EXPECT_TRUE(QRegularExpression(R"(^Version \(Build \d+\.\d+\.\d+(\+git\d+\.[0-9a-f]+)?\)$)").match(text).hasMatch())
        << text.toStdString();
    // Shown whole, commit and all.
    EXPECT_GE(about.Labelvers->width(), about.Labelvers->sizeHint().width()) << text.toStdString();
    EXPECT_LE(about.Labelvers->geometry().right(), about.width());

    spirelo::OverrideProgramFile("/nonexistent/Spirelo");
    about.FormCreate();
    EXPECT_EQ(about.Labelvers->text(), "Version (Build )");
    spirelo::OverrideProgramFile("");

    std::string s = "stale";
    GetFileVersion("", s);
    EXPECT_EQ(s, "");
}

TEST(AboutWindow, ShowsItsPicture) {
    TFormAbout about;
    ASSERT_FALSE(about.Image1->pixmap().isNull());
    EXPECT_EQ(about.Image1->pixmap().size(), QSize(180, 180));
    EXPECT_EQ(about.lbl1->text(), "INDUSTRIAL EQUIPMENT CONTROL DEVICE");
    EXPECT_EQ(about.Labeldata->text(), "October 2017");
    EXPECT_EQ(about.Label7->font().pixelSize(), 24);
}

TEST(AboutWindow, LinksChangeColourAndOpenThroughTheDesktop) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("mailto", &catcher, "open");
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    TFormAbout about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));

    QTest::mouseMove(about.LabelLogin, QPoint(5, 5));
    EXPECT_EQ(TextColour(about.LabelLogin), QColor(255, 0, 0));
    EXPECT_EQ(about.LabelLogin->cursor().shape(), Qt::PointingHandCursor);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(about.LabelLogin, &leave);
    EXPECT_EQ(TextColour(about.LabelLogin), QColor(0, 0, 128));

    QTest::mouseClick(about.LabelLogin, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(about.LabelHTTP, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(TextColour(about.LabelLogin), QColor(0, 128, 0));
    EXPECT_EQ(TextColour(about.LabelHTTP), QColor(0, 128, 0));
    ASSERT_EQ(catcher.opened.size(), 2);
    EXPECT_EQ(catcher.opened[0], QUrl(QString("mailto:") + TFormAbout::kMailAddress));
    EXPECT_EQ(catcher.opened[1], QUrl(TFormAbout::kWebAddress));

    about.LabelHTTPMouseMove();
    about.FormMouseMove();
    EXPECT_EQ(about.LabelHTTP->cursor().shape(), Qt::ArrowCursor);

    QDesktopServices::unsetUrlHandler("mailto");
    QDesktopServices::unsetUrlHandler("https");

    QTest::mouseClick(about.BitBtnClose, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

TEST(JpegPicture, DamagedPicturesComeBackNullInsteadOfEndingTheProgram) {
    const QByteArray good = TFormAbout::PictureBytes();
    auto decode = [](const QByteArray& b, QString* e) {
        return spirelo::DecodeJpeg(reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size()), e);
    };
    QString error;
    const QImage whole = decode(good, &error);
    EXPECT_EQ(whole.size(), QSize(180, 180));

    const std::vector<uint8_t> garbage(300, 0x5A);
    error.clear();
    EXPECT_TRUE(spirelo::DecodeJpeg(garbage.data(), garbage.size(), &error).isNull());
    EXPECT_FALSE(error.isEmpty());

    error.clear();
    EXPECT_TRUE(decode(good.left(40), &error).isNull());   // cut inside its header
    EXPECT_FALSE(error.isEmpty());

    EXPECT_TRUE(spirelo::DecodeJpeg(nullptr, 0, &error).isNull());
    // The decoder is still usable after the failures.
    EXPECT_EQ(decode(good, nullptr).size(), QSize(180, 180));
}

#include "form_about_test.moc"
