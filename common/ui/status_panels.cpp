#include "common/ui/status_panels.h"

namespace spirelo {

StatusPanels::StatusPanels(std::initializer_list<int> widths, int centred, QWidget* parent)
    : QStatusBar(parent) {
    setSizeGripEnabled(false);
    int i = 0;
    for (int w : widths) {
        auto* label = new QLabel(this);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setFixedWidth(w);
        label->setAlignment(i < centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
        addWidget(label);
        panels_.push_back(label);
        ++i;
    }
}

void StatusPanels::setPanelText(int index, const QString& text) {
    if (QLabel* p = panel(index)) p->setText(text);
}

QString StatusPanels::panelText(int index) const {
    QLabel* p = panel(index);
    return p ? p->text() : QString();
}

QLabel* StatusPanels::panel(int index) const {
    if (index < 0 || index >= int(panels_.size())) return nullptr;
    return panels_[size_t(index)];
}

}  // namespace spirelo
