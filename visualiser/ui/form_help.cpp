#include "visualiser/ui/form_help.h"

#include <QVBoxLayout>

TFormHelp* FormHelp = nullptr;

TFormHelp::TFormHelp(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Help");
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    mmo = new QPlainTextEdit(this);
    mmo->setReadOnly(true);
    QFont f = mmo->font();
    f.setBold(true);
    f.setPixelSize(16);
    mmo->setFont(f);
    QPalette p = mmo->palette();
    p.setColor(QPalette::Text, QColor(0, 0, 128));
    mmo->setPalette(p);
    const char* lines[] = {
        "Остановить автоматическую смену точек обзора - ",
        "STOP на нижней панели",
        "",
        "В ручном обзоре",
        "Мышка + правая кнопка = вращение",
        "Мышка + левая  кнопка = смещение",
        "Колесо мышки = масштаб",
        "",
        "Если FPS < 50 то для реального вывода струй фонтана",
        "нужно выключить все лишние объекты.",
        "Это не рендеринг как в 3DMAX, а расчет в реальном ",
        "времени.",
        "",
        "Можно нажимать любые кнопки, кроме кнопки\"Строителя\"",
        "это форма парамеров - на ней можно все сломать.",
    };
    QString text;
    for (const char* l : lines) text += QString::fromUtf8(l) + "\n";
    text.chop(1);
    mmo->setPlainText(text);
    lay->addWidget(mmo);
    resize(560, 420);
}
