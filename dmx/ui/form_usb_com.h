#pragma once

#include <QWidget>

class TFormUSB_COM : public QWidget {
    Q_OBJECT
public:
    explicit TFormUSB_COM(QWidget* parent = nullptr);
    ~TFormUSB_COM() override;
    void FormCreate();

private:
    void createControls();
};

extern TFormUSB_COM* FormUSB_COM;
