// The Schedule page: the eight slots' hour, minute and mode, the schedule's on box and the
// hidden light working time. The slot arrays are the one source; the controls show them.
#include "playback/ui/form_sound.h"

#include "core/show_data.h"
#include "core/text_routines.h"
#include "playback/modes.h"

#include <QSignalBlocker>

using namespace spirelo;

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

void TFormSound::ReturnTimeData() {
    ShowData& d = ShowDataInstance();
    for (int k = 1; k <= 8; ++k) {
        const QSignalBlocker bm(ComboBoxMode[k]), bh(udH[k]), bmin(udM[k]);
        ComboBoxMode[k]->setCurrentIndex(d.ScheduleMode[k] <= kModeMusic ? d.ScheduleMode[k] : -1);
        udH[k]->setValue(d.ScheduleHour[k]);
        udM[k]->setValue(d.ScheduleMinute[k]);
        lbltime[k]->setText(Q(TimeText(d, k)));
    }
    {
        const QSignalBlocker b1(udSetTimeOnHour), b2(udSetTimeOnMin), b3(udSetTimeOffHour), b4(udSetTimeOffMin);
        udSetTimeOnHour->setValue(d.ProgramOptions[26]);
        udSetTimeOnMin->setValue(d.ProgramOptions[27]);
        udSetTimeOffHour->setValue(d.ProgramOptions[28]);
        udSetTimeOffMin->setValue(d.ProgramOptions[29]);
    }
    TimesOnOffToLabel();
}

void TFormSound::TimesOnOffToLabel() {
    const ShowData& d = ShowDataInstance();
    lblSpotON->setText(Q(" ON " + IntToStr2(d.ProgramOptions[26]) + ":" + IntToStr2(d.ProgramOptions[27])));
    lblSpotOFF->setText(Q("0FF " + IntToStr2(d.ProgramOptions[28]) + ":" + IntToStr2(d.ProgramOptions[29])));
}

void TFormSound::udHClick(int k) {
    if (k < 1 || k > 8) return;
    ShowData& d = ShowDataInstance();
    d.ScheduleHour[k] = uint8_t(udH[k]->value());
    lbltime[k]->setText(Q(TimeText(d, k)));
}

void TFormSound::udMClick(int k) {
    if (k < 1 || k > 8) return;
    ShowData& d = ShowDataInstance();
    d.ScheduleMinute[k] = uint8_t(udM[k]->value());
    lbltime[k]->setText(Q(TimeText(d, k)));
}

void TFormSound::ComboBoxModeChange(int k) {
    if (k < 1 || k > 8) return;
    const int index = ComboBoxMode[k]->currentIndex();
    if (index >= 0) ShowDataInstance().ScheduleMode[k] = uint8_t(index);
}

void TFormSound::SetScheduleOnBox(bool on) {
    CheckBoxScheduleON->setChecked(on);
    ShowDataInstance().ProgramFlags[10] = on ? 1 : 0;
}

void TFormSound::CheckBoxScheduleONClick() {
    ShowDataInstance().ProgramFlags[10] = CheckBoxScheduleON->isChecked() ? 1 : 0;
}

void TFormSound::CheckBoxSpotJobAlwausClick() {
    ShowDataInstance().ProgramFlags[11] = CheckBoxSpotJobAlwaus->isChecked() ? 1 : 0;
}

void TFormSound::RadioGroupRadioButtonClick() {
    ShowDataInstance().ProgramOptions[31] = RadioGroupRadioButton->itemIndex();
}

void TFormSound::udSetTimeClick(int slot, QSpinBox* box) {
    ShowDataInstance().ProgramOptions[slot] = box->value();
    TimesOnOffToLabel();
}
void TFormSound::udSetTimeOnHourClick() { udSetTimeClick(26, udSetTimeOnHour); }
void TFormSound::udSetTimeOnMinClick() { udSetTimeClick(27, udSetTimeOnMin); }
void TFormSound::udSetTimeOffHourClick() { udSetTimeClick(28, udSetTimeOffHour); }
void TFormSound::udSetTimeOffMinClick() { udSetTimeClick(29, udSetTimeOffMin); }

void TFormSound::connectScheduleHandlers() {
    for (int k = 1; k <= 8; ++k) {
        connect(udH[k], &QSpinBox::valueChanged, this, [this, k] { udHClick(k); });
        connect(udM[k], &QSpinBox::valueChanged, this, [this, k] { udMClick(k); });
        connect(ComboBoxMode[k], &QComboBox::activated, this, [this, k] { ComboBoxModeChange(k); });
    }
    connect(CheckBoxScheduleON, &QCheckBox::clicked, this, &TFormSound::CheckBoxScheduleONClick);
    connect(CheckBoxSpotJobAlwaus, &QCheckBox::clicked, this, &TFormSound::CheckBoxSpotJobAlwausClick);
    connect(RadioGroupRadioButton, &SoundRadioGroup::clicked, this, &TFormSound::RadioGroupRadioButtonClick);
    connect(udSetTimeOnHour, &QSpinBox::valueChanged, this, &TFormSound::udSetTimeOnHourClick);
    connect(udSetTimeOnMin, &QSpinBox::valueChanged, this, &TFormSound::udSetTimeOnMinClick);
    connect(udSetTimeOffHour, &QSpinBox::valueChanged, this, &TFormSound::udSetTimeOffHourClick);
    connect(udSetTimeOffMin, &QSpinBox::valueChanged, this, &TFormSound::udSetTimeOffMinClick);
}
