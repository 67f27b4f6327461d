#include "dmx/ui/form_visual.h"

TFormVisual* FormVisual = nullptr;

TFormVisual::TFormVisual(QWidget* parent) : QWidget(parent) {
    createControls();
}

TFormVisual::~TFormVisual() = default;

void TFormVisual::createControls() {
    setWindowTitle(QStringLiteral("Channels DMX512 "));
    resize(1232, 131);
}

void TFormVisual::FormCreate() {}
