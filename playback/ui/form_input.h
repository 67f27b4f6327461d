// The scene input panel "Ввод": one sequencer's spots as a colour table, one column per scene;
// holding the left button over a column records its scene into the record track.
#pragma once

#include "playback/ui/form_sound_widgets.h"

#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

class KeyPreview;

class TFormInput : public QWidget {
    Q_OBJECT
public:
    explicit TFormInput(QWidget* parent = nullptr);
    ~TFormInput() override;
    void FormCreate();

    void repaintScenes();
    void FormKeyDown(int Key);
    void ScrollBarSeqInputChange();
    void ScrollBarInputScenaChange();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void pbScenesMouseDown(Qt::MouseButton button, int x);
    void pbScenesMouseMove(Qt::MouseButtons buttons, int x);
    void imgMouseMove(Qt::MouseButtons buttons, int x, int y);

    QTabWidget* pgc = nullptr;
    QWidget* ts1 = nullptr;
    QWidget* ts2 = nullptr;
    SoundPaintBox* pbScenes = nullptr;      // 1024 x 208
    QScrollBar* ScrollBarSeqInput = nullptr;
    QLabel* Labelseq = nullptr;
    QScrollBar* ScrollBarInputScena = nullptr;
    QLabel* LabelStart = nullptr;
    QLabel* Labelcoda = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QLabel* Label3 = nullptr;
    SoundPaintBox* img = nullptr;           // 255 x 255 colour picker
    SoundShape* shp1 = nullptr;
    QLabel* LabelG = nullptr;
    QLabel* Label1 = nullptr;
    QTimer* tmr = nullptr;
    QPixmap ScenesBitmap;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void recordAt(int x);
};

extern TFormInput* FormInput;
