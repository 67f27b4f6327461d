#include "visualiser/ui/print_dialog.h"

#include <QPrintDialog>
#include <QPrinter>

namespace spirelo {

namespace {
PrintDialog::Answerer& TestAnswerer() {
    static PrintDialog::Answerer a;
    return a;
}
}  // namespace

void PrintDialog::SetAnswerer(Answerer answerer) { TestAnswerer() = std::move(answerer); }

bool PrintDialog::Execute(QPrinter& printer, QWidget* parent) {
    if (TestAnswerer()) return TestAnswerer()(printer);
    QPrintDialog dlg(&printer, parent);
    return dlg.exec() == QDialog::Accepted;
}

}  // namespace spirelo
