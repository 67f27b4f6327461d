#include "playback/ui/form_input.h"

TFormInput* FormInput = nullptr;

TFormInput::TFormInput(QWidget* parent) : QWidget(parent) {
    createControls();
}

TFormInput::~TFormInput() = default;

void TFormInput::createControls() {
    setWindowTitle(QStringLiteral("Ввод"));
    resize(1068, 262);
}

void TFormInput::FormCreate() {}
