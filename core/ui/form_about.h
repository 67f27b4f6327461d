// The About window: product name, picture, version, device kind, release date and two links.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <string>

// The version text of a program file: empty when the name is empty or no such file exists.
// The version is the one compiled into this program (there is no version resource here).
void GetFileVersion(const std::string& FileName, std::string& S);

class TFormAbout : public QWidget {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);
    ~TFormAbout() override;
    void FormCreate();

    void BitBtnCloseClick();
    void LabelLoginClick();
    void LabelLoginMouseMove();
    void LabelLoginMouseLeave();
    void LabelHTTPClick();
    void LabelHTTPMouseMove();
    void LabelHTTPMouseLeave();
    void FormMouseMove();

    // The picture as stored (JPEG).
    static QByteArray PictureBytes();

    static const char* const kMailAddress;
    static const char* const kWebAddress;

    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Labelvers = nullptr;
    QLabel* lbl1 = nullptr;
    QLabel* Labeldata = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* LabelLogin = nullptr;
    QLabel* LabelHTTP = nullptr;
    QPushButton* BitBtnClose = nullptr;
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void createControls();
};

extern TFormAbout* FormAbout;
