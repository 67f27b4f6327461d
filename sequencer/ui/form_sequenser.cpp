#include "sequencer/ui/form_sequenser.h"

TFormSequenser* FormSequenser = nullptr;

TFormSequenser::TFormSequenser(QWidget* parent) : QWidget(parent) {
    createControls();
}

TFormSequenser::~TFormSequenser() = default;

void TFormSequenser::createControls() {
    setWindowTitle("Sequencer");
}

void TFormSequenser::FormCreate() {}
