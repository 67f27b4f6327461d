#include "common/ui/colour_dialog.h"

#include <QColorDialog>

namespace spirelo {

namespace {
ColourDialog::Answerer& TestAnswerer() {
    static ColourDialog::Answerer a;
    return a;
}
}  // namespace

void ColourDialog::SetAnswerer(Answerer answerer) { TestAnswerer() = std::move(answerer); }

bool ColourDialog::Execute(QWidget* parent) {
    std::optional<QColor> chosen;
    if (TestAnswerer()) {
        chosen = TestAnswerer()(*this);
    } else {
        QColorDialog dlg(Color, parent);
        if (dlg.exec() == QDialog::Accepted) chosen = dlg.selectedColor();
    }
    if (!chosen || !chosen->isValid()) return false;
    Color = *chosen;
    return true;
}

}  // namespace spirelo
