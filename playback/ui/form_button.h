// The show button panel "CREATED PROGRAMMS": a screen-filling window of twelve buttons, one for
// each of the first twelve shows of the play list; a press selects that show and starts it.
#pragma once

#include <QLabel>
#include <QWidget>

class ShowButtonShape;
class ShowButtonPicture;

class TFormButton : public QWidget {
    Q_OBJECT
public:
    explicit TFormButton(QWidget* parent = nullptr);
    ~TFormButton() override;
    void FormCreate();
    void FormDestroy();

    void onClickButton(int Index);
    // The name labels from the play list as it is now.
    void ReadShowNames();

    ShowButtonShape* ButtonShapes[12] = {};
    ShowButtonPicture* ButtonImages[12] = {};
    QLabel* ButtonNumberLabels[12] = {};
    QLabel* ButtonNameLabels[12] = {};
    int SelectedButton = -1;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
};

// A button body: a rounded rectangle with a navy outline.
class ShowButtonShape : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    void setBrushColor(uint32_t color);   // 24-bit, red in the low byte
    uint32_t brushColor() const { return brush_; }
protected:
    void paintEvent(QPaintEvent*) override;
private:
    uint32_t brush_ = 0xC0DCC0;
};

// A show's picture, stretched over the widget; the colour of its bottom-left pixel is clear.
class ShowButtonPicture : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // Reads the BMP; false (and nothing shown) when it is missing or unreadable.
    bool load(const QString& path);
    const QImage& image() const { return image_; }
protected:
    void paintEvent(QPaintEvent*) override;
private:
    QImage image_;
};

extern TFormButton* FormButton;
