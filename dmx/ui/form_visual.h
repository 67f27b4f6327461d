#pragma once

#include <QWidget>

class TFormVisual : public QWidget {
    Q_OBJECT
public:
    explicit TFormVisual(QWidget* parent = nullptr);
    ~TFormVisual() override;
    void FormCreate();

private:
    void createControls();
};

extern TFormVisual* FormVisual;
