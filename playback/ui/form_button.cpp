#include "playback/ui/form_button.h"

TFormButton* FormButton = nullptr;

TFormButton::TFormButton(QWidget* parent) : QWidget(parent) {
    createControls();
}

TFormButton::~TFormButton() = default;

void TFormButton::createControls() {
    resize(800, 600);
}

void TFormButton::FormCreate() {}
