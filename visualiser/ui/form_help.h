// The help window: fixed lines on how to drive the view.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>

class TFormHelp : public QWidget {
    Q_OBJECT
public:
    explicit TFormHelp(QWidget* parent = nullptr);
    void FormCreate() {}
    QPlainTextEdit* mmo = nullptr;
};

extern TFormHelp* FormHelp;
