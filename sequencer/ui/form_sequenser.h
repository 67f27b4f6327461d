#pragma once

#include <QWidget>

class TFormSequenser : public QWidget {
    Q_OBJECT
public:
    explicit TFormSequenser(QWidget* parent = nullptr);
    ~TFormSequenser() override;
    void FormCreate();

private:
    void createControls();
};

extern TFormSequenser* FormSequenser;
