// A status bar of fixed-width text panels, addressed by index as the original's panels were.
#pragma once

#include <QLabel>
#include <QStatusBar>
#include <QString>

#include <initializer_list>
#include <vector>

namespace spirelo {

class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    // widths in pixels; the first `centred` panels centre their text.
    StatusPanels(std::initializer_list<int> widths, int centred, QWidget* parent = nullptr);

    int panelCount() const { return int(panels_.size()); }
    // Out-of-range indices are ignored (read as empty), never touched.
    void setPanelText(int index, const QString& text);
    QString panelText(int index) const;
    QLabel* panel(int index) const;

private:
    std::vector<QLabel*> panels_;
};

}  // namespace spirelo
