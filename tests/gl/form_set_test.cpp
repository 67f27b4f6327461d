// The layout parameter window beside the running main window: edits through key events, saves
// that keep what was not edited, the report and notes texts, the diagram and its printout.
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "platform/termination_signals.h"
#include "ui/program_folder_test.h"
#include "tests/file_seam.h"
#include "visualiser/layout_file.h"
#include "visualiser/ui/form_main.h"
#include "visualiser/ui/form_set.h"
#include "visualiser/ui/print_dialog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPrinter>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <memory>
#include <regex>

#include <sys/stat.h>

using namespace spirelo;

namespace {

class FormSetTest : public test::ProgramFolderTest<> {
protected:
    FormSetTest() : ProgramFolderTest("Glimmora") {}
    void SetUp() override {
        if (QGuiApplication::platformName() == "offscreen") GTEST_SKIP() << "needs an X display";
        ProgramFolderTest::SetUp();
        section = "GlimmoraSetTest" + std::to_string(::getpid());
    }
    void TearDown() override {
        PrintDialog::SetAnswerer(nullptr);
        FileDialog::SetAnswerer(nullptr);
        deleteWindows();
        SharedSection::unlink(section);
        ProgramFolderTest::TearDown();
    }
    std::string writeLayout(const std::string& name, void (*fill)(CollectorTable&)) {
        auto t = std::make_unique<CollectorTable>();
        ResetCollectorTable(*t);
        fill(*t);
        std::string path = Path(name);
        EXPECT_TRUE(SaveLayoutFile(path, *t).io);
        return path;
    }
    void createWindows(const std::string& layout) {
        IniFile ini(Path("Glimmora.ini"));
        ini.writeString("File", "LastFile", layout);
        ASSERT_TRUE(ini.save());
        FormMain = new TFormMain;
        FormMain->LiveSectionName = section;
        FormMain->FormCreate();
        FormSet = new TFormSet;
        FormSet->FormCreate();
    }
    void deleteWindows() {
        delete FormSet;
        FormSet = nullptr;
        delete FormMain;
        FormMain = nullptr;
    }
    std::vector<uint8_t> bytes(const std::string& path) {
        std::vector<uint8_t> b;
        EXPECT_TRUE(ReadWholeFile(path, b));
        return b;
    }
    void type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        // Letter by letter as the keyboard sends them (QTest's own helpers know only ASCII).
        for (QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, ch.isDigit() || ch.unicode() < 128 ? ch.toUpper().unicode() : 0,
                            Qt::NoModifier, QString(ch));
            QApplication::sendEvent(edit, &press);
            QKeyEvent release(QEvent::KeyRelease, press.key(), Qt::NoModifier, QString(ch));
            QApplication::sendEvent(edit, &release);
        }
    }

    std::string section;
};

TEST_F(FormSetTest, SteppingThroughCollectorsChangesNothing) {
    std::string path = writeLayout("preset.a3d", [](CollectorTable& t) {
        FillPresetLayout(t);
        t.Kolvo[30] = 255;              // a count the edit could not type
        t.Kind[31] = 40;                // an index past the list
        t.Nozzle[31] = 77;
        t.Name[32][0] = 3;
        t.Name[32][1] = '\t';           // a control byte in a name
        t.X[33] = 75;                   // outside the edit's range
    });
    std::vector<uint8_t> before = bytes(path);
    createWindows(path);
    for (int c = 1; c <= 33; ++c) {
        FormSet->ScrollBarNomberKollectors->setValue(c);
        EXPECT_EQ(FormSet->LabelNomber->text().toStdString(), "Номер коллектора " + std::to_string(c));
        if (c == 31) {
            EXPECT_EQ(FormSet->ComboBoxType->currentIndex(), -1);
            EXPECT_EQ(FormSet->ComboBoxJet->currentIndex(), -1);
        }
    }
    FormSet->ScrollBarNomberKollectors->setValue(1);
    EXPECT_EQ(FormSet->EditPosX->text(), "-0,86");
    ASSERT_TRUE(FormSet->SaveFile());
    EXPECT_EQ(bytes(path), before);
    EXPECT_TRUE(messages->log.empty());
}

TEST_F(FormSetTest, TypingGoesThroughTheKeyFilter) {
    createWindows(writeLayout("a.a3d", [](CollectorTable& t) { t.Kind[2] = kKindRing; }));
    FormSet->show();
    FormSet->ScrollBarNomberKollectors->setValue(2);
    CollectorTable& t = VisualiserInstance().collectors;
    type(FormSet->EditPosX, "-75");
    EXPECT_EQ(t.X[2], -50);
    type(FormSet->EditPosX, "2.555");   // "." enters ","; the third decimal is refused
    EXPECT_EQ(FormSet->EditPosX->text(), "2,55");
    EXPECT_FLOAT_EQ(t.X[2], 2.55f);
    type(FormSet->EditSweep, "-75");    // no "-" here
    EXPECT_EQ(FormSet->EditSweep->text(), "75");
    EXPECT_EQ(t.Size[2], 50);
    type(FormSet->EditKolvo, "3000");
    EXPECT_EQ(FormSet->EditKolvo->text(), "300");
    EXPECT_EQ(t.Kolvo[2], 44);
    QTest::keyClick(FormSet->EditKolvo, Qt::Key_Backspace);
    EXPECT_EQ(t.Kolvo[2], 30);
    type(FormSet->EditName, "Кольцо");
    EXPECT_EQ(CollectorName(t, 2), "Кольцо          ");
    EXPECT_EQ(t.X[1], 0) << "collector 1 untouched";

    // A user scroll writes the field; the bar's label follows.
    FormSet->ScrollBarKlapDMX->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(t.ValveDmx[2], 1);
    EXPECT_EQ(FormSet->LabelKlapDMX->text().toStdString(), "КлапDMX 1>>30");
    FormSet->ComboBoxJet->activated(4);
    EXPECT_EQ(t.Nozzle[2], 4);
}

TEST_F(FormSetTest, ANameTypedAtTheEndOfItsBoxIsStored) {
    createWindows(writeLayout("a.a3d", [](CollectorTable& t) {
        t.Kind[2] = kKindRing;
        SetCollectorName(t, 2, "");     // a name the window itself left empty: 16 blanks
    }));
    FormSet->show();
    FormSet->ScrollBarNomberKollectors->setValue(2);
    QLineEdit* edit = FormSet->EditName;
    EXPECT_EQ(edit->text(), "");
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 4, edit->height() / 2));
    QTest::keyClicks(edit, "Show1");
    EXPECT_EQ(CollectorName(VisualiserInstance().collectors, 2), "Show1           ");
    ASSERT_TRUE(FormSet->SaveFile());
    auto t = std::make_unique<CollectorTable>();
    ASSERT_TRUE(LoadLayoutFile(Path("a.a3d"), *t).ok());
    EXPECT_EQ(CollectorName(*t, 2), "Show1           ");
}

TEST_F(FormSetTest, TheTourTimerFollowsOnlyTheUser) {
    createWindows(Path("none.a3d"));
    EXPECT_EQ(FormMain->tmrStep->interval(), 10000) << "creation leaves the main window's step";
    EXPECT_EQ(FormSet->lblDelay->text().toStdString(), "Время выхода струи 0ms");
    FormSet->ScrollBarTimer->triggerAction(QAbstractSlider::SliderSingleStepSub);
    FormSet->ScrollBarTimer->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(FormMain->tmrStep->interval(), 5000);
    FormSet->ScrollBarDElay->setValue(10);
    EXPECT_EQ(FormSet->lblDelay->text().toStdString(), "Время выхода струи 250ms");

    // Without a layout the report is shown but written nowhere.
    FormSet->btn5->click();
    EXPECT_TRUE(FormSet->MemoRashet->isVisibleTo(FormSet));
    EXPECT_EQ(FormSet->MemoRashet->toPlainText().toStdString(),
              "Программа визуализации фонтанов\nИмя файла: No File\n ");
    EXPECT_FALSE(std::filesystem::exists("No File.txR"));
}

TEST_F(FormSetTest, AViewButtonWritesTheReportAndTheNotes) {
    std::string path = writeLayout("ring.a3d", [](CollectorTable& t) {
        t.Kind[1] = kKindRing;
        t.Nozzle[1] = 4;
        t.Kolvo[1] = 5;
        t.Kind[2] = kKindRing;
        t.SpotDmx[2] = 1;
        t.SpotGroups[2] = 2;
        t.ValveDmx[2] = 8;
        t.Kolvo[2] = 4;
    });
    createWindows(path);
    EXPECT_TRUE(FormSet->SpeedButtonArea->isChecked());
    FormSet->MemoTxt->setPlainText("первая\nвторая");
    FormSet->SpeedButtonMemoRaschet->click();
    EXPECT_TRUE(FormSet->MemoRashet->isVisibleTo(FormSet));
    EXPECT_FALSE(FormSet->PaintBox->isVisibleTo(FormSet));
    std::string report, notes;
    ASSERT_TRUE(ReadTextCompanion(LayoutReportPath(path), report));
    EXPECT_EQ(report, FormSet->MemoRashet->toPlainText().toStdString());
    EXPECT_NE(report.find("Колво форсунок 5 шт"), std::string::npos);
    // Lights 1..6 (two groups of three) and valves 8..11.
    EXPECT_NE(report.find("\nADR DMX свет от 1 до 6\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\nADR DMX Клапана от 8 до 11\n"), std::string::npos) << report;
    std::string raw;
    ASSERT_TRUE(ReadWholeFile(LayoutNotesPath(path), raw));
    EXPECT_EQ(raw, "первая\r\nвторая\r\n");
    FormSet->SpeedButtonMemoTxt->click();
    EXPECT_TRUE(FormSet->MemoTxt->isVisibleTo(FormSet));
    EXPECT_FALSE(FormSet->MemoRashet->isVisibleTo(FormSet));
}

TEST_F(FormSetTest, SaveWithoutAFileAsksForOneAndCopiesKeepTheTour) {
    createWindows(Path("none.a3d"));
    messages->log.clear();
    CollectorTable& t = VisualiserInstance().collectors;
    FormSet->btn7->click();
    EXPECT_EQ(t.Kind[29], kKindLine);
    t.TourLast() = 9;
    FormSet->ScrollBarNomberKollectors->setValue(3);
    EXPECT_FALSE(FormSet->SpeedButtonPaste->isEnabled());
    FormSet->SpeedButtonCopy->click();
    ASSERT_TRUE(FormSet->SpeedButtonPaste->isEnabled());
    FormSet->ScrollBarNomberKollectors->setValue(1);
    FormSet->SpeedButtonPaste->click();
    EXPECT_EQ(t.PumpDmx[1], 119);
    EXPECT_EQ(t.TourLast(), 9);
    FormSet->SpeedButtonChkOff->click();
    EXPECT_EQ(t.Enabled[2], 0);
    EXPECT_TRUE(FormSet->chkon->isChecked());

    FormSet->MemoTxt->setPlainText("с новым именем");
    // A Save As that fails leaves the path and the captions.
    FileDialog::SetAnswerer([&](const FileDialog&) -> std::optional<QString> {
        return QString::fromStdString(Path("no such folder/x.a3d"));
    });
    QString title = FormSet->windowTitle();
    FormSet->SpeedButtonSaveAs->click();
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_EQ(messages->log[0].kind, MessageKind::Error);
    EXPECT_EQ(VisualiserInstance().LayoutFileName, "No File");
    EXPECT_EQ(FormSet->windowTitle(), title);
    messages->log.clear();

    std::string chosen = Path("new.a3d");
    int asked = 0;
    FileDialog::SetAnswerer([&](const FileDialog&) -> std::optional<QString> {
        ++asked;
        return QString::fromStdString(chosen);
    });
    FormSet->SpeedButtonSave->click();
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(std::filesystem::exists(chosen));
    EXPECT_EQ(VisualiserInstance().LayoutFileName, chosen);
    EXPECT_EQ(FormSet->windowTitle().toStdString(), "Установка параметров фонтана File:" + chosen);
    std::string notes;
    ASSERT_TRUE(ReadTextCompanion(LayoutNotesPath(chosen), notes)) << "the notes go with the new name";
    EXPECT_EQ(notes, "с новым именем");
    FormSet->SpeedButtonSave->click();
    EXPECT_EQ(asked, 1) << "the file exists now";
    EXPECT_TRUE(messages->log.empty());
}

// Notes typed with no layout loaded are written to no file the operator did not choose: they wait
// in the memo, and the close asks to save a layout with them.
TEST_F(FormSetTest, NotesWithoutALayoutWaitForOneAndTheCloseAsks) {
    for (Answer answer : {Answer::Yes, Answer::No}) {
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
        createWindows(Path("none.a3d"));
        messages->log.clear();
        FormSet->MemoTxt->setPlainText("без макета");
        FormSet->SpeedButtonMemoRaschet->click();   // building the report saves the notes of a layout
        FormSet->SpeedButtonMemoTxt->click();
        EXPECT_FALSE(std::filesystem::exists("No File.txT"));
        EXPECT_TRUE(messages->log.empty());

        const std::string chosen = Path("with notes.a3d");
        FileDialog::SetAnswerer([&](const FileDialog&) -> std::optional<QString> { return QString::fromStdString(chosen); });
        messages->answers = {answer};
        FormMain->close();
        ASSERT_EQ(messages->log.size(), 1u);
        EXPECT_EQ(messages->log[0].kind, MessageKind::Question);
        EXPECT_EQ(messages->log[0].text, "Заметки набраны без макета и не сохранены.\r\nСохранить макет вместе с ними?");
        delete FormSet;
        FormSet = nullptr;
        std::string notes;
        EXPECT_EQ(bool(ReadTextCompanion(LayoutNotesPath(chosen), notes)), answer == Answer::Yes);
        if (answer == Answer::Yes) {
            EXPECT_EQ(notes, "без макета");
            EXPECT_EQ(IniFile(Path("Glimmora.ini")).readString("File", "LastFile", ""), chosen);
        }
        EXPECT_FALSE(std::filesystem::exists(Path("Glimmora.txT")));
        EXPECT_FALSE(std::filesystem::exists("No File.txT"));
        delete FormMain;
        FormMain = nullptr;
        std::filesystem::remove(chosen);
        std::filesystem::remove(LayoutNotesPath(chosen));
    }
}

// Notes that could not be read at load (over their bound, a pipe, a failing disk) are not
// replaced by the empty memo shown for them: not by the views' saves, a Save As onto the layout,
// another layout's open or the close. Notes typed afterwards are saved.
TEST_F(FormSetTest, RefusedNotesOutliveTheSavesUntilTheOperatorTypes) {
    const std::string layout = writeLayout("park.a3d", [](CollectorTable&) {});
    const std::string other = writeLayout("other.a3d", [](CollectorTable&) {});
    const std::string notes = LayoutNotesPath(layout);
    FileDialog::SetAnswerer([&](const FileDialog&) -> std::optional<QString> { return QString::fromStdString(layout); });
    enum Kind { Oversized, Fifo, FailingDisk };
    for (const Kind kind : {Oversized, Fifo, FailingDisk}) {
        SCOPED_TRACE(kind == Fifo ? "a FIFO" : kind == Oversized ? "an oversized file" : "a failing disk");
        std::filesystem::remove(notes);
        const std::string kept = kind == Oversized ? std::string(kMaxTextCompanionBytes + 1, 'x') : "pump 3 leaks\r\n";
        const bool fifo = kind == Fifo;
        if (fifo) ASSERT_EQ(::mkfifo(notes.c_str(), 0600), 0);
        else ASSERT_TRUE(WriteFileAtomic(notes, kept));
        auto untouched = [&] {
            std::string now;
            return fifo ? std::filesystem::is_fifo(notes) : ReadWholeFile(notes, now) && now == kept;
        };
        messages->log.clear();
        std::optional<test::FileSeamScope> disk;
        if (kind == FailingDisk) disk.emplace(FileLayerSeam{[&](const std::string& p) { return p == notes ? EIO : 0; }, {}});
        createWindows(layout);
        ASSERT_EQ(VisualiserInstance().LayoutFileName, layout);
        EXPECT_EQ(FormSet->MemoTxt->toPlainText(), "");
        ASSERT_EQ(messages->log.size(), 1u) << "told once, at the load";
        EXPECT_NE(messages->log[0].text.find(notes), std::string::npos) << messages->log[0].text;
        FormSet->SpeedButtonMemoRaschet->click();
        FormSet->SpeedButtonMemoTxt->click();
        FormSet->SpeedButtonSaveAs->click();
        FormMain->close();
        deleteWindows();
        disk.reset();   // the check reads through the same file layer
        EXPECT_TRUE(untouched());
        EXPECT_EQ(messages->log.size(), 1u);
        if (kind == FailingDisk) continue;   // read again, the notes show

        createWindows(layout);
        ASSERT_TRUE(FormSet->OpenLayout(other));
        EXPECT_TRUE(untouched());
        ASSERT_TRUE(FormSet->OpenLayout(layout));
        FormSet->MemoTxt->setFocus();
        QTest::keyClicks(FormSet->MemoTxt, "pump 3");
        FormSet->SpeedButtonMemoRaschet->click();
        std::string raw;
        EXPECT_TRUE(std::filesystem::is_regular_file(notes));
        ASSERT_TRUE(ReadWholeFile(notes, raw));
        EXPECT_EQ(raw, "pump 3\r\n");
        deleteWindows();
    }
}

TEST_F(FormSetTest, OpeningALayoutOverNotesWithoutOneOffersToSaveThemWithTheirLayout) {
    const std::string other = writeLayout("other.a3d", [](CollectorTable& t) { t.Kind[1] = kKindSingle; });
    createWindows(Path("none.a3d"));
    VisualiserInstance().collectors.Kind[1] = kKindRing;
    FormSet->MemoTxt->setPlainText("к кольцу");
    const std::string chosen = Path("ring.a3d");
    FileDialog::SetAnswerer([&](const FileDialog&) -> std::optional<QString> { return QString::fromStdString(chosen); });
    messages->log.clear();
    messages->answers = {Answer::Yes};
    ASSERT_TRUE(FormSet->OpenLayout(other));
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_EQ(messages->log[0].kind, MessageKind::Question);
    // Saved before the open replaced the layout the notes were typed for.
    auto saved = std::make_unique<CollectorTable>();
    ResetCollectorTable(*saved);
    ASSERT_TRUE(LoadLayoutFile(chosen, *saved).ok());
    EXPECT_EQ(saved->Kind[1], kKindRing);
    std::string notes;
    ASSERT_TRUE(ReadTextCompanion(LayoutNotesPath(chosen), notes));
    EXPECT_EQ(notes, "к кольцу");
    EXPECT_EQ(VisualiserInstance().LayoutFileName, other);
    EXPECT_EQ(VisualiserInstance().collectors.Kind[1], kKindSingle);
}

namespace {
// The close's question waits when SIGTERM comes: the signal answers it No.
struct SignalAnswersMessages : RecordingMessages {
    Answer question(const std::string& text) override {
        RecordingMessages::question(text);
        SetEndingOnSignal(true);
        return Answer::No;
    }
};
}  // namespace

// An end on a signal can ask no one: the notes go to a file of their own beside the settings,
// named with the time of the end; the end says where, and so does the next start, once.
TEST_F(FormSetTest, AnEndOnASignalKeepsNotesWithoutALayoutInAFileOfItsOwn) {
    const std::string prefix = "Заметки без макета сохранены в ";
    // The notes of a layout named after the program are no one else's to overwrite.
    const std::string layoutNotes = Path("Glimmora.txT");
    ASSERT_TRUE(WriteTextCompanion(layoutNotes, "заметки макета Glimmora.a3d"));
    std::vector<std::string> kept;
    for (bool whileAsking : {false, true}) {
        SCOPED_TRACE(whileAsking ? "signal while the close asks" : "signal before the close");
        auto asking = std::make_shared<SignalAnswersMessages>();
        if (whileAsking) InstallMessageService(asking);
        createWindows(Path("none.a3d"));
        FormSet->MemoTxt->setPlainText(QString::fromStdString("ночная правка " + std::to_string(kept.size())));
        messages->log.clear();
        asking->log.clear();
        SetEndingOnSignal(!whileAsking);
        FormMain->close();
        SetEndingOnSignal(false);
        const auto& log = whileAsking ? asking->log : messages->log;
        ASSERT_EQ(log.size(), whileAsking ? 2u : 1u);
        EXPECT_EQ(log.back().kind, MessageKind::Plain);
        ASSERT_EQ(log.back().text.rfind(prefix, 0), 0u) << log.back().text;
        const std::filesystem::path path = log.back().text.substr(prefix.size());
        EXPECT_EQ(path.parent_path(), std::filesystem::path(Path("Glimmora.ini")).parent_path());
        EXPECT_TRUE(std::regex_match(path.filename().string(),
                                     std::regex(R"(Glimmora notes \d{4}-\d\d-\d\d \d\d-\d\d-\d\d( \(\d+\))?\.txt)")))
            << path;
        kept.push_back(path.string());
        deleteWindows();
        InstallMessageService(messages);
    }
    // Two ends, even within one second, keep two files.
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_NE(kept[0], kept[1]);
    for (size_t k = 0; k < kept.size(); ++k) {
        std::string notes;
        ASSERT_TRUE(ReadTextCompanion(kept[k], notes)) << kept[k];
        EXPECT_EQ(notes, "ночная правка " + std::to_string(k));
    }
    std::string layoutText;
    ASSERT_TRUE(ReadTextCompanion(layoutNotes, layoutText));
    EXPECT_EQ(layoutText, "заметки макета Glimmora.a3d");

    auto told = [&] {
        return std::count_if(messages->log.begin(), messages->log.end(),
                             [&](const auto& m) { return m.text == prefix + kept[1]; });
    };
    messages->log.clear();
    createWindows(Path("none.a3d"));
    EXPECT_EQ(told(), 1) << "the next start says where the last end kept them";
    deleteWindows();
    messages->log.clear();
    createWindows(Path("none.a3d"));
    EXPECT_EQ(told(), 0) << "once";
    deleteWindows();
    for (const std::string& k : kept) std::filesystem::remove(k);
    std::filesystem::remove(layoutNotes);
}

TEST_F(FormSetTest, DiagramAndPrintout) {
    createWindows(writeLayout("ring.a3d", [](CollectorTable& t) {
        t.Kind[2] = kKindRing;
        t.Kolvo[2] = 4;
        t.X[2] = 10;
        t.Size[2] = 4;
    }));
    FormSet->TimerPaintTimer();
    const QImage& img = FormSet->DiagramImage();
    EXPECT_EQ(img.pixel(2, 2) & 0xFFFFFF, 0x000000u) << "the frame";
    EXPECT_EQ(img.pixel(600, 520) & 0xFFFFFF, 0xFF0000u) << "the first dot, red";
    EXPECT_EQ(img.pixel(100, 50) & 0xFFFFFF, 0xFFFFFFu) << "no grid yet";
    FormSet->SpeedButtonGrid->click();
    EXPECT_EQ(img.pixel(100, 50) & 0xFFFFFF, 0x808080u) << "a grey grid line at x = 100";

    std::string pdf = Path("page.pdf");
    PrintDialog::SetAnswerer([](QPrinter&) { return false; });
    FormSet->SpeedButtonPrint->click();
    EXPECT_FALSE(std::filesystem::exists(pdf)) << "cancel prints nothing";
    PrintDialog::SetAnswerer([&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    FormSet->SpeedButtonPrint->click();
    std::vector<uint8_t> b = bytes(pdf);
    std::string text(b.begin(), b.end());
    ASSERT_GT(text.size(), 5u);
    EXPECT_EQ(text.substr(0, 5), "%PDF-");
    EXPECT_NE(text.find("/Count 1"), std::string::npos) << "one page";
    EXPECT_TRUE(messages->log.empty());

    // A page that cannot begin is told.
    PrintDialog::SetAnswerer([&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QString::fromStdString(Path("no such folder/page.pdf")));
        return true;
    });
    FormSet->SpeedButtonPrint->click();
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_EQ(messages->log[0].text, "Печать невозможна");
}

}  // namespace
