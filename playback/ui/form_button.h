#pragma once

#include <QWidget>

class TFormButton : public QWidget {
    Q_OBJECT
public:
    explicit TFormButton(QWidget* parent = nullptr);
    ~TFormButton() override;
    void FormCreate();

private:
    void createControls();
};

extern TFormButton* FormButton;
