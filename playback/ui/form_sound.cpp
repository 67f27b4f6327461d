#include "playback/ui/form_sound.h"

TFormSound* FormSound = nullptr;

TFormSound::TFormSound(QWidget* parent) : QWidget(parent) {
    createControls();
}

TFormSound::~TFormSound() = default;

void TFormSound::createControls() {
    setWindowTitle("Sound");
    CheckBoxScheduleON = new QCheckBox(this);
    LabelSpace = new QLabel(this);
    ShapeSpace = new QFrame(this);
    ListBoxMusic = new QListWidget(this);
    ScrollBarMusicTrack = new QScrollBar(Qt::Horizontal, this);
    ScrollBarVolmusicMain = new QScrollBar(Qt::Horizontal, this);
    ScrollBarVolumMusic = new QScrollBar(Qt::Horizontal, this);
    LabelSpace->hide();
    ShapeSpace->hide();
}

void TFormSound::FormCreate() {}
void TFormSound::SetJobingMode() {}
void TFormSound::SetModeAquel_MUSIC() {}
void TFormSound::MadePlayFile() {}
void TFormSound::SoundToBegin() {}
void TFormSound::NewStartCopy() {}
void TFormSound::setNextMusic() {}
void TFormSound::SetVolume(int) {}
