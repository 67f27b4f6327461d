// The running visualiser on the X display: its windows load a layout at creation, rebuild the
// jets every second and animate them from a live-data section written by the test.
#include "common/live_data.h"
#include "common/ui/window_placement.h"
#include "common/shared_section.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "ui/program_folder_test.h"
#include "visualiser/layout_file.h"
#include "visualiser/ui/form_help.h"
#include "visualiser/ui/form_main.h"
#include "visualiser/ui/form_set.h"
#include "visualiser/ui/gl_view.h"
#include "tests/ui/text_fit_check.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/mman.h>
#include <unistd.h>
#include <functional>
#include <memory>

using namespace spirelo;

namespace {

// Sleeps between events, so a parallel run's other tests keep their CPU.
bool WaitFor(const std::function<bool()>& done, int ms) { return QTest::qWaitFor(done, ms); }

// Pixels of the picture above the nozzles that are not dark, alpha ignored.
int LitAbove(const QImage& img, int rows) {
    int n = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < img.width(); ++x) {
            QRgb p = img.pixel(x, y);
            if (qRed(p) + qGreen(p) + qBlue(p) > 200) ++n;
        }
    return n;
}

class FormMainTest : public test::ProgramFolderTest<> {
protected:
    FormMainTest() : ProgramFolderTest("Glimmora") {}
    void SetUp() override {
        if (QGuiApplication::platformName() == "offscreen") GTEST_SKIP() << "needs an X display";
        ProgramFolderTest::SetUp();
        section = "GlimmoraTest" + std::to_string(::getpid());
        SharedSection::unlink(section);
    }
    void TearDown() override {
        DestroyVisualiserWindows();
        SharedSection::unlink(section);
        OverrideAvailableGeometry(std::nullopt);
        ProgramFolderTest::TearDown();
    }

    // One tall white jet in the middle of the view, its pump on channel 5.
    std::string writeLayout() {
        auto t = std::make_unique<CollectorTable>();
        ResetCollectorTable(*t);
        t->Kind[1] = kKindSingle;
        t->Kolvo[1] = 1;
        t->High[1] = 8;
        t->Nozzle[1] = 8;
        t->PumpDmx[1] = 5;
        std::string path = Path("one jet.a3d");
        EXPECT_TRUE(SaveLayoutFile(path, *t).io);
        return path;
    }
    void writeIni(const std::string& layout) {
        IniFile ini(Path("Glimmora.ini"));
        ini.writeString("File", "LastFile", layout);
        ini.writeInteger("SavePos", "Zoom", -43);
        ini.writeFloat("SavePos", "RotationX", 0);
        ini.writeFloat("SavePos", "ViewerY", -3);
        ini.writeBool("Button", "Streams", true);
        ini.writeInteger("FormMain", "Left", 0);
        ini.writeInteger("FormMain", "Top", 0);
        ini.writeInteger("FormMain", "Width", 400);
        ini.writeInteger("FormMain", "Height", 400);
        ASSERT_TRUE(ini.save());
    }
    void endWindows() {
        if (FormMain) FormMain->close();
        DestroyVisualiserWindows();
    }
    bool shown() {
        return WaitFor([] { return FormMain->isVisible() && FormMain->windowHandle()->isExposed(); }, 30000);
    }
    void createWindows() {
        if (!FormMain) {
            FormMain = new TFormMain;
            FormMain->LiveSectionName = section;
        }
        FormMain->FormCreate();
        FormSet = new TFormSet;
        FormSet->FormCreate();
        FormHelp = new TFormHelp;
        FormHelp->FormCreate();
        // Only the jets: the rest of the scene would fill the picture.
        FormMain->SpeedButtonStop->click();
        for (QToolButton* b : {FormMain->btnNozzle, FormMain->btnCup, FormMain->btnPeople, FormMain->btnObjOn,
                               FormMain->SpeedButtonAxis, FormMain->SpeedButtonGrid, FormMain->SpeedButtonSpot})
            b->setChecked(false);
        FormMain->show();
    }
    void writeLevels(uint8_t pump) {
        uint8_t levels[512] = {};
        levels[4] = pump;   // channel 5
        char text[kLiveTextSize];
        EncodeHexLevels(levels, 512, text);
        ASSERT_TRUE(writer.isOpen() || writer.open(section, kLiveTextSize));
        writer.writeText(text, kLiveTextDigits);
    }
    QImage frame() {
        QApplication::processEvents();
        return FormMain->glView->grabFramebuffer();
    }

    std::string section;
    SharedSection writer;
};

TEST_F(FormMainTest, LoadsTheLastLayoutAndAnimatesFromTheLiveSection) {
    std::string layout = writeLayout();
    writeIni(layout);
    writeLevels(0);
    createWindows();
    EXPECT_EQ(FormMain->windowTitle().toStdString(), "3D визуализация фонтанов (64600)File: " + layout);
    EXPECT_EQ(VisualiserInstance().LayoutFileName, layout);
    EXPECT_TRUE(messages->log.empty());
    ASSERT_TRUE(FormMain->LiveDataConnected());
    ASSERT_TRUE(WaitFor([] { return VisualiserInstance().jets.JetCount == 2; }, 30000)) << "TimerPaint rebuilt the jets";

    int rows = FormMain->glView->height() / 2;
    writeLevels(255);
    ASSERT_TRUE(WaitFor([&] { return LitAbove(frame(), rows) > 50; }, 30000)) << "full pump: the jet rises";
    writeLevels(0);
    ASSERT_TRUE(WaitFor([&] { return LitAbove(frame(), rows) == 0; }, 30000)) << "pump off: it falls away";

    FormMain->btnMaxOn->click();
    ASSERT_TRUE(WaitFor([&] { return LitAbove(frame(), rows) > 50; }, 30000)) << "all on";
    FormMain->btnMinOn->click();
    ASSERT_TRUE(WaitFor([&] { return LitAbove(frame(), rows) == 0; }, 30000)) << "all off";
    EXPECT_EQ(VisualiserInstance().levels.DmxInput[5], 0) << "the reader keeps decoding";
}

// Another user's section under the name (one left by a run as root) brings no box: the user's
// own name is read, where the controller of the same user writes.
TEST_F(FormMainTest, AnotherUsersSectionGivesWayToTheUsersOwnName) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a section to another user needs root";
    const int fd = ::shm_open(("/" + section).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::fchown(fd, 65534, 65534), 0);
    ::close(fd);
    const std::string foreign = section;
    section = OwnSectionName(foreign);
    SharedSection::unlink(section);
    writeIni(writeLayout());
    writeLevels(0);
    FormMain = new TFormMain;
    FormMain->LiveSectionName = foreign;
    createWindows();
    EXPECT_TRUE(messages->log.empty());
    EXPECT_EQ(FormMain->LiveSectionOpenName, section);
    ASSERT_TRUE(WaitFor([] { return VisualiserInstance().jets.JetCount == 2; }, 30000));
    const int rows = FormMain->glView->height() / 2;
    writeLevels(255);
    EXPECT_TRUE(WaitFor([&] { return LitAbove(frame(), rows) > 50; }, 30000)) << "the level arrives";
    SharedSection::unlink(foreign);
}

TEST_F(FormMainTest, AMissingLayoutIsReportedAndNothingIsSavedOverIt) {
    writeIni(Path("gone.a3d"));
    createWindows();
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_EQ(messages->log[0].text, "Файл \r\n" + Path("gone.a3d") + "\r\nне найден ");
    EXPECT_EQ(FormMain->windowTitle().toStdString(), "3D визуализация фонтанов Файл не загружен ");
    EXPECT_EQ(VisualiserInstance().LayoutFileName, "No File");
    EXPECT_FALSE(FormSet->SaveFile());
    EXPECT_FALSE(std::filesystem::exists(Path("gone.a3d")));

    // A file of the wrong size is not read and is not the layout path either.
    std::string bad = Path("short.a3d");
    std::vector<uint8_t> bytes(64599, 1);
    ASSERT_TRUE(WriteFileAtomic(bad, bytes.data(), bytes.size()));
    EXPECT_FALSE(FormSet->OpenLayout(bad));
    EXPECT_EQ(VisualiserInstance().LayoutFileName, "No File");
    std::vector<uint8_t> after;
    ASSERT_TRUE(ReadWholeFile(bad, after));
    EXPECT_EQ(after.size(), 64599u);

    // The settings still remember the path the user had, for the next start.
    FormMain->close();
    IniFile ini(Path("Glimmora.ini"));
    EXPECT_EQ(ini.readString("File", "LastFile", ""), Path("gone.a3d"));
    EXPECT_EQ(ini.readInteger("AreaCount", "CountOpen", 0), 2);
}

TEST_F(FormMainTest, OpeningALayoutReloadsItsNotes) {
    std::string a = writeLayout();
    std::string b = Path("second.a3d");
    std::filesystem::copy_file(a, b);
    ASSERT_TRUE(WriteTextCompanion(LayoutNotesPath(a), "заметки A"));
    ASSERT_TRUE(WriteTextCompanion(LayoutNotesPath(b), "notes B"));
    writeIni(a);
    createWindows();
    EXPECT_EQ(FormSet->MemoTxt->toPlainText().toStdString(), "заметки A");
    FormSet->MemoTxt->setPlainText("заметки A, правка");
    ASSERT_TRUE(FormSet->OpenLayout(b));
    EXPECT_EQ(FormSet->MemoTxt->toPlainText().toStdString(), "notes B");
    std::string kept;
    ASSERT_TRUE(ReadTextCompanion(LayoutNotesPath(a), kept));
    EXPECT_EQ(kept, "заметки A, правка");
    EXPECT_EQ(FormSet->windowTitle().toStdString(), "Установка параметров фонтана File:" + b);
}

TEST_F(FormMainTest, ClosingKeepsTheViewButtonsAndWindowInTheSettings) {
    writeIni(Path("gone.a3d"));
    createWindows();
    EXPECT_TRUE(FormMain->SpeedButtonStreams->isChecked());
    EXPECT_FALSE(FormMain->SpeedButtonAlfa->isChecked()) << "persisted buttons default to up";
    FormMain->GLMouseWheel(-240);
    FormMain->btnWiewIso->click();
    FormMain->SpeedButtonWire->setChecked(true);
    FormMain->close();
    IniFile ini(Path("Glimmora.ini"));
    EXPECT_EQ(ini.readInteger("SavePos", "Zoom", 0), -47);
    EXPECT_DOUBLE_EQ(ini.readFloat("SavePos", "RotationX", 0), 21);
    EXPECT_DOUBLE_EQ(ini.readFloat("SavePos", "RotationY", 0), 15);
    EXPECT_TRUE(ini.readBool("Button", "Wire", false));
    EXPECT_TRUE(ini.readBool("Button", "Streams", false));
    EXPECT_FALSE(ini.readBool("Button", "Alfa", true));
    EXPECT_EQ(ini.readInteger("FormMain", "Width", 0), FormMain->geometry().width());
    delete FormHelp;
    FormHelp = nullptr;
    delete FormSet;
    FormSet = nullptr;
    IniFile after(Path("Glimmora.ini"));
    EXPECT_EQ(after.readInteger("Price", "Truba_D30mm_S2mm_1m", 0), 1510);
    EXPECT_EQ(after.readInteger("FormSet", "Kollectors", 0), 1);
    EXPECT_FALSE(std::filesystem::exists(Path("No File.txT"))) << "no notes without a layout";
}

// The settings' place is taken by a folder: every save fails and is shown as the controller
// shows its own, the end's two saves (main window, layout window) as one box.
TEST_F(FormMainTest, AFailedSettingsSaveIsShownAtTheStartAndOnceAtTheEnd) {
    const std::string settings = Path("Glimmora.ini");
    auto failures = [&] {
        int n = 0;
        for (const auto& m : messages->log)
            if (m.kind == MessageKind::Error && m.text.rfind("Ошибка записи файла " + settings, 0) == 0) ++n;
        return n;
    };
    ASSERT_TRUE(std::filesystem::create_directory(settings));
    createWindows();
    EXPECT_EQ(failures(), 1) << "the open count's save at the start";
    FormMain->close();
    EXPECT_EQ(failures(), 2) << "the close's save";
    delete FormHelp;
    FormHelp = nullptr;
    delete FormSet;
    FormSet = nullptr;
    EXPECT_EQ(failures(), 2) << "the layout window's end: the same failure, not shown again";
}

TEST_F(FormMainTest, AFailedSettingsSaveAtTheLayoutWindowsEndIsShown) {
    const std::string settings = Path("Glimmora.ini");
    writeIni(Path("gone.a3d"));
    createWindows();
    FormMain->close();
    messages->log.clear();
    ASSERT_TRUE(std::filesystem::remove(settings));
    ASSERT_TRUE(std::filesystem::create_directory(settings));
    delete FormSet;
    FormSet = nullptr;
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_EQ(messages->log[0].kind, MessageKind::Error);
    EXPECT_EQ(messages->log[0].text.rfind("Ошибка записи файла " + settings, 0), 0u) << messages->log[0].text;
}

TEST_F(FormMainTest, TourButtonsStepTheCaption) {
    writeIni(Path("gone.a3d"));
    createWindows();   // STOP was clicked: one step on
    EXPECT_EQ(FormMain->SpeedButtonLeng->text(), "2>1");
    FormMain->SpeedButtonREcord->click();   // stores point 1 and moves to 2
    FormMain->SpeedButtonLeng->click();     // the last point is 1
    EXPECT_EQ(FormMain->SpeedButtonLeng->text(), "3>2");
    FormMain->SpeedButtonBegin->click();
    EXPECT_EQ(FormMain->SpeedButtonLeng->text(), "1>2");
    EXPECT_FALSE(FormMain->SpeedButtonPlay->isChecked());
    EXPECT_EQ(VisualiserInstance().collectors.TourZoom[1], 43);
}

// A first start (no window place in the settings, as the demo show leaves them) puts the window
// beside or below the controller's first places, whole on the screen; the controller's window
// test checks that its windows leave that place free.
TEST_F(FormMainTest, AFirstStartTakesThePlaceTheControllerLeaves) {
    OverrideAvailableGeometry(QRect(0, 0, 1280, 1024));
    writeIni(Path("gone.a3d"));
    IniFile ini(Path("Glimmora.ini"));
    ini.eraseSection("FormMain");
    ASSERT_TRUE(ini.save());
    createWindows();
    ASSERT_TRUE(shown());
    const Box frame = ToBox(FormMain->frameGeometry());
    EXPECT_EQ(frame, VisualiserFirstFrame({0, 0, 1280, 1024}, MarginsOf(FormMain)));
    EXPECT_EQ(frame.bottom(), 1024) << "its bottom bar on the screen";
    EXPECT_EQ(OverlapArea(frame, SoundFirstFrame({0, 0, 1280, 1024}, MarginsOf(FormMain))), 0);
}

// The saved left and top are the frame's and the size the client's, so each start puts the window
// back where the last one left it; a place partly off the screen is moved onto it (and a window
// larger than the screen cut down to it).
TEST_F(FormMainTest, ASavedPlaceComesBackUnchangedOverThreeStarts) {
    OverrideAvailableGeometry(QRect(0, 0, 1280, 1024));
    struct Case { QRect saved; QRect want; } cases[] = {
        {{40, 300, 700, 500}, {40, 300, 700, 500}},
        {{900, 700, 1000, 1000}, {280, 24, 1000, 1000}},   // off the bottom-right: moved
        {{-50, 10, 1500, 1100}, {0, 0, 1280, 1024}},        // larger than the screen: cut down
    };
    for (const Case& c : cases) {
        writeIni(Path("gone.a3d"));
        IniFile ini(Path("Glimmora.ini"));
        ini.writeInteger("FormMain", "Left", c.saved.x());
        ini.writeInteger("FormMain", "Top", c.saved.y());
        ini.writeInteger("FormMain", "Width", c.saved.width());
        ini.writeInteger("FormMain", "Height", c.saved.height());
        ASSERT_TRUE(ini.save());
        for (int start = 1; start <= 3; ++start) {
            createWindows();
            ASSERT_TRUE(shown());
            EXPECT_EQ(QRect(FormMain->pos(), FormMain->size()), c.want) << "start " << start;
            endWindows();
            IniFile after(Path("Glimmora.ini"));
            EXPECT_EQ(QRect(int(after.readInteger("FormMain", "Left", -1)), int(after.readInteger("FormMain", "Top", -1)),
                            int(after.readInteger("FormMain", "Width", -1)), int(after.readInteger("FormMain", "Height", -1))),
                      c.want) << "saved at start " << start;
        }
    }
}

TEST_F(FormMainTest, AMinimisedWindowComesBackFromItsButton) {
    writeIni(Path("gone.a3d"));
    createWindows();
    struct Case { QWidget* window; QToolButton* button; } cases[] = {
        {FormSet, FormMain->SpeedButtonSetWin},
        {FormHelp, FormMain->SpeedButtonHelp},
    };
    for (const Case& c : cases) {
        c.window->show();
        c.window->setWindowState(c.window->windowState() | Qt::WindowMinimized);
        ASSERT_TRUE(c.window->isMinimized());
        c.button->click();
        EXPECT_FALSE(c.window->isMinimized()) << c.window->metaObject()->className();
        EXPECT_TRUE(c.window->isVisible());
    }
}

TEST(FormHelpTest, HoldsTheFixedHelpLines) {
    TFormHelp help;
    QStringList lines = help.mmo->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 15);
    EXPECT_EQ(lines[4].toStdString(), "Мышка + правая кнопка = вращение");
    EXPECT_EQ(lines[13].toStdString(), "Можно нажимать любые кнопки, кроме кнопки\"Строителя\"");
    EXPECT_EQ(help.windowTitle().toStdString(), "Help");
}

}  // namespace

// Each text of the visualiser's windows shows whole, on the X display's fonts.
TEST_F(FormMainTest, EveryTextOfItsWindowsIsWhole) {
    writeIni(Path("gone.a3d"));
    createWindows();
    // Every window they made; menus and tips are Qt's to size.
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!(w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip || w->windowType() == Qt::Desktop))
            windows << w;
    ASSERT_GE(windows.size(), 3);
    for (QWidget* w : windows) {
        const QStringList cut = text_fit_check::CutTextsOnEveryPage(w);
        EXPECT_TRUE(cut.isEmpty()) << w->metaObject()->className() << " cuts " << cut.size() << " text(s):\n  "
                                   << cut.join("\n  ").toStdString();
    }
}
