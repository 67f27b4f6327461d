#include "dmx/ui/form_usb_com.h"

TFormUSB_COM* FormUSB_COM = nullptr;

TFormUSB_COM::TFormUSB_COM(QWidget* parent) : QWidget(parent) {
    createControls();
}

TFormUSB_COM::~TFormUSB_COM() = default;

void TFormUSB_COM::createControls() {
    setWindowTitle("USB and DMX");
}

void TFormUSB_COM::FormCreate() {}
