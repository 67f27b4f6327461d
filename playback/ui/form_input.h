#pragma once

#include <QWidget>

class TFormInput : public QWidget {
    Q_OBJECT
public:
    explicit TFormInput(QWidget* parent = nullptr);
    ~TFormInput() override;
    void FormCreate();

private:
    void createControls();
};

extern TFormInput* FormInput;
