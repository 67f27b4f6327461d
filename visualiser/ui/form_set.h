// The layout parameter window. This part holds what loading and animation need: opening the
// layout at creation and from the main window, saving it, the notes memo, and the one-second
// timer that rebuilds the jets.
#pragma once

#include "common/ui/file_dialogs.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>

#include <string>

class TFormSet : public QWidget {
    Q_OBJECT
public:
    explicit TFormSet(QWidget* parent = nullptr);
    ~TFormSet() override;
    void FormCreate();

    QScrollBar* ScrollBarNomberKollectors = nullptr;
    QLabel* LabelNomber = nullptr;
    QPlainTextEdit* MemoTxt = nullptr;
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
    void ScrollBarNomberKollectorsChange();

private:
    void createControls();
    void FormDestroy();
    void saveNotes();
    bool created_ = false;
};

extern TFormSet* FormSet;
