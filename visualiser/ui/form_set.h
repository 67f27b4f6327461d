// The layout parameter window: edits one collector at a time, opens and saves the layout,
// copies collectors, keeps the notes, builds the calculation report and draws (and prints) the
// top-view diagram. Its one-second timer redraws the diagram and rebuilds the jets.
#pragma once

#include "common/file_io.h"
#include "common/ui/file_dialogs.h"
#include "visualiser/layout_diagram.h"
#include "visualiser/layout_editor.h"
#include "visualiser/ui/diagram_painter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <string>
#include <vector>

class TFormSet;

// Shows 1000 x 800 pixels of the diagram bitmap from the row ScrollBarVert gives.
class DiagramBox : public QWidget {
public:
    DiagramBox(TFormSet* owner, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TFormSet* owner_;
};

class TFormSet : public QWidget {
    Q_OBJECT
public:
    explicit TFormSet(QWidget* parent = nullptr);
    ~TFormSet() override;
    void FormCreate();

    // Tool bar.
    QToolButton *SpeedButtonNew = nullptr, *SpeedButtonOpen = nullptr, *SpeedButtonSave = nullptr,
                *SpeedButtonSaveAs = nullptr, *SpeedButtonCopyFromLast = nullptr, *SpeedButtonCopy = nullptr,
                *SpeedButtonPaste = nullptr, *SpeedButtonGrid = nullptr, *SpeedButtonArea = nullptr,
                *SpeedButtonMemoRaschet = nullptr, *btn5 = nullptr, *SpeedButtonMemoTxt = nullptr,
                *SpeedButtonPrint = nullptr, *SpeedButtonChkOn = nullptr, *SpeedButtonChkOff = nullptr,
                *btn7 = nullptr;
    QButtonGroup* viewGroup = nullptr;

    // Collector fields.
    QScrollBar* ScrollBarNomberKollectors = nullptr;
    QLabel* LabelNomber = nullptr;
    QComboBox *ComboBoxType = nullptr, *ComboBoxJet = nullptr;
    QCheckBox* chkon = nullptr;
    QLineEdit *EditName = nullptr, *EditPosX = nullptr, *EditPosY = nullptr, *EditPosZ = nullptr,
              *EditSweep = nullptr, *EditHigh = nullptr, *EditNaklon = nullptr, *EditKolvo = nullptr,
              *EditSpot = nullptr;
    QScrollBar *ScrollBarRotatAll = nullptr, *ScrollBarRotatJet = nullptr, *ScrollBarLengJet = nullptr,
               *ScrollBarProporcia = nullptr, *ScrollBarSpotDMX = nullptr, *ScrollBarFriqDMX = nullptr,
               *ScrollBarKlapDMX = nullptr, *ScrollBarSkewDMX = nullptr, *ScrollBarMin = nullptr,
               *ScrollBarMax = nullptr, *ScrollBarDElay = nullptr, *ScrollBarTimer = nullptr;
    QLabel *LabelRotatAll = nullptr, *LabelRotatJet = nullptr, *LabelLengJet = nullptr, *LabelProp = nullptr,
           *LabelSpotDMX = nullptr, *LabelFriqDMX = nullptr, *LabelKlapDMX = nullptr, *LabelSkewDMX = nullptr,
           *LabelMin = nullptr, *LabelMax = nullptr, *lblDelay = nullptr;

    // The views: diagram, report, notes.
    DiagramBox* PaintBox = nullptr;
    QScrollBar* ScrollBarVert = nullptr;
    QPlainTextEdit *MemoRashet = nullptr, *MemoTxt = nullptr;

    QTimer* TimerPaint = nullptr;
    spirelo::FileDialog dlgOpen{spirelo::FileDialog::Kind::Open};
    spirelo::FileDialog dlgSave{spirelo::FileDialog::Kind::Save};

    // Loads path into the collector table. On success it becomes the layout path and its notes
    // are shown; on failure the previous layout and path stay.
    bool OpenFile(const std::string& path);
    // Saves to the layout path (atomic); false and a message when that fails.
    bool SaveFile();
    // The main window's open command: OpenFile, captions, dialogs, collector 1, refresh.
    bool OpenLayout(const std::string& path);
    void ReturnScrollKollektor();
    void TimerPaintTimer();
    void PaintDiagram();
    void SetDefMemo();

    void ScrollBarNomberKollectorsChange();
    void SpeedButtonNewClick();
    void SpeedButtonOpenClick();
    void SpeedButtonSaveClick();
    void SpeedButtonSaveAsClick();
    void SpeedButtonCopyFromLastClick();
    void SpeedButtonCopyClick();
    void SpeedButtonPasteClick();
    void SpeedButtonGridClick();
    void ViewButtonClick();
    void SpeedButtonPrintClick();
    void SpeedButtonChkOnClick();
    void SpeedButtonChkOffClick();
    void btn7Click();

    // Before notes typed with no layout loaded would be lost (another layout opens, the program
    // ends): asks to save a layout with them, or on an end by signal keeps them beside the settings.
    void KeepNotesWithoutLayout();

    const QImage& DiagramImage() const { return diagram_; }
    int CurrentCollector() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    void createControls();
    void FormDestroy();
    void saveNotes();
    void updateLabels();
    void editChanged(QLineEdit* edit, spirelo::EditField field);
    void setCaptions(const std::string& path);
    void drawOnto(QPainter& p, bool stampDots);

    struct FieldEdit {
        QLineEdit* edit;
        spirelo::EditField field;
    };
    std::vector<FieldEdit> fieldEdits_;
    QImage diagram_;
    std::vector<spirelo::DiagramPrimitive> prims_;
    spirelo::DiagramPainter painter_;
    bool created_ = false;
    bool forwarding_ = false;
    spirelo::RefusedTextFile refusedNotes_;
};

extern TFormSet* FormSet;
