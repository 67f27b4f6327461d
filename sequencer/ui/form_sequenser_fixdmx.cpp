// Page "Fix DMX": the grid of sequencer masks with its range and preset tools, and the hidden
// ROM export with its serial upload.
#include "sequencer/ui/form_sequenser.h"
#include "sequencer/ui/page_controls.h"

#include "common/ui/qt_helpers.h"
#include "core/settings_file.h"
#include "core/show_data.h"
#include "dmx/areas.h"
#include "platform/message_service.h"
#include "platform/ui/qt_serial_port.h"
#include "sequencer/fix_dmx_grid.h"
#include "sequencer/rom_export.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

using spirelo::ShowData;
using spirelo::ShowDataInstance;

namespace {

using page_controls::HBar;
using page_controls::Put;

QToolButton* Button(QWidget* parent, const QString& name, const char* caption, const char* hint, int x, int y,
                    int width = 44) {
    return page_controls::Button(parent, name, caption, hint, x, y, width);
}

using page_controls::Q;

// A right press on a grid cell names its channel and column instead of toggling it.
class CellRightPress : public QObject {
public:
    CellRightPress(TFormSequenser* form) : QObject(form), form_(form) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
            return false;
        if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton) return false;
        form_->MouseDownCheckBoxGroup(watched->property("Tag").toInt());
        return true;
    }

private:
    TFormSequenser* form_;
};

}  // namespace

// --- Building ----------------------------------------------------------------------------

void TFormSequenser::createFixDmxTools() {
    QWidget* p = tsFixDmx;
    GroupBoxSetAddr = Put(new QGroupBox("Setting ADDR DMX512 "), p, "GroupBoxSetAddr", 470, 120, 180, 112);
    ScrollBarBeginChK = HBar(GroupBoxSetAddr, "ScrollBarBeginChK", "Установка первого адреса DMX ",
                             1, spirelo::kRangeBarMax, 1, 8, 20, 164);
    ScrollBarLengDmxChK = HBar(GroupBoxSetAddr, "ScrollBarLengDmxChK", "Длина устанавливаемых  каналов DMX ",
                               1, spirelo::kRangeBarMax, 1, 8, 40, 164);
    LabelChK = Put(new QLabel(Q(spirelo::RangeLabelText(1, 1))), GroupBoxSetAddr, "LabelChK", 8, 60, 164, 16);
    LabelLengFix = Put(new QLabel(Q(spirelo::RangeLengthText(1))), GroupBoxSetAddr, "LabelLengFix", 8, 78,
                       90, 16);
    SpeedButtonAnother = Button(GroupBoxSetAddr, "SpeedButtonAnother", "New 2",
                                "Следующая установка первого адреса ", 100, 80, 74);

    SpeedButtonChk16ON = Button(p, "SpeedButtonChk16ON", "All", "Set Checkbox all", 470, 240);
    SpeedButtonChk16Off = Button(p, "SpeedButtonChk16Off", "None", "Off Checkbox all", 530, 240);
    SpeedButtonGroupAllon = Button(p, "SpeedButtonGroupAllon", "Set", "Set Checkbox all", 470, 268);
    SpeedButtonGroupAlloff = Button(p, "SpeedButtonGroupAlloff", "Off", "Off Checkbox all", 530, 268);
    SpeedButtonLamp = Button(p, "SpeedButtonLamp", "Spot", "Set Checkbox Spots", 470, 296);
    SpeedButtonINV = Button(p, "SpeedButtonINV", "Inv", "Set Checkbox Invertor", 530, 296);
    SpeedButtonKlap = Button(p, "SpeedButtonKlap", "Klap", "Set Checkbox klapans ", 590, 296);
    SpeedButtonClearSkrepka = Button(p, "SpeedButtonClearSkrepka", "Clr", "Clear all area CheckBox", 470, 324);
    SpeedButtonGroupAlloffAll = Button(p, "SpeedButtonGroupAlloffAll", "Off all", "Off all Checkbox", 530, 324);
    SpeedButtonDovi = Button(p, "SpeedButtonDovi", "Дови", "", 590, 324);
    SpeedButtonDovi->setVisible(false);

    GroupBoxAdrRom = Put(new QGroupBox("Adr_ROM"), p, "GroupBoxAdrRom", 470, 360, 180, 48);
    ScrollBarAdrRom = HBar(GroupBoxAdrRom, "ScrollBarAdrRom", "", 0, spirelo::kRomAddressMax, 0, 8, 22, 130);
    SpeedButtonSend = Button(GroupBoxAdrRom, "SpeedButtonSend", "TX", "", 142, 18, 30);
    GroupBoxAdrRom->setVisible(false);
    SpeedButtonSend->setVisible(false);
}

void TFormSequenser::connectFixDmxTools() {
    auto* filter = new CellRightPress(this);
    for (QCheckBox* cb : GroupCells) {
        const int tag = cb->property("Tag").toInt();
        connect(cb, &QCheckBox::clicked, this, [this, tag] { onCheckGroup(tag); });
        cb->installEventFilter(filter);
    }
    connect(ScrollBarGroupPos, &QScrollBar::valueChanged, this, &TFormSequenser::ScrollBarGroupPosChange);
    connect(ScrollBarGroupPos, &QScrollBar::actionTriggered, this,
            [this] { ScrollBarGroupPosScroll(ScrollBarGroupPos->sliderPosition()); });
    connect(RadioGroupSeqDuoItems, &QButtonGroup::idClicked, this, &TFormSequenser::RadioGroupSeqDuoClick);
    connect(ScrollBarBeginChK, &QScrollBar::valueChanged, this, &TFormSequenser::ScrollBarBeginChKChange);
    connect(ScrollBarLengDmxChK, &QScrollBar::valueChanged, this, &TFormSequenser::ScrollBarBeginChKChange);
    connect(SpeedButtonAnother, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonAnotherClick);
    connect(SpeedButtonChk16ON, &QToolButton::clicked, this, [this] { CheckBoxGroupSet(true); RedrawAreaGroup(); });
    connect(SpeedButtonChk16Off, &QToolButton::clicked, this, [this] { CheckBoxGroupSet(false); RedrawAreaGroup(); });
    connect(SpeedButtonGroupAllon, &QToolButton::clicked, this, [this] { RangeButtonClick(1); });
    connect(SpeedButtonGroupAlloff, &QToolButton::clicked, this, [this] { RangeButtonClick(0); });
    connect(SpeedButtonLamp, &QToolButton::clicked, this, [this] { AreaButtonClick(0); });
    connect(SpeedButtonINV, &QToolButton::clicked, this, [this] { AreaButtonClick(1); });
    connect(SpeedButtonKlap, &QToolButton::clicked, this, [this] { AreaButtonClick(2); });
    connect(SpeedButtonClearSkrepka, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonClearSkrepkaClick);
    connect(SpeedButtonGroupAlloffAll, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonGroupAlloffAllClick);
    connect(SpeedButtonDovi, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonDoviClick);
    connect(ScrollBarAdrRom, &QScrollBar::valueChanged, this, &TFormSequenser::ScrollBarAdrRomChange);
    connect(SpeedButtonSend, &QToolButton::clicked, this, &TFormSequenser::SpeedButtonSendClick);
}

// --- Grid --------------------------------------------------------------------------------

int TFormSequenser::GridGroup() const { return std::clamp(RadioGroupSeqDuoItems->checkedId(), 0, 3); }

// Inside the scroll handler value() is still the old position.
int TFormSequenser::GridFirstRow() const { return ScrollBarGroupPos->sliderPosition(); }

std::array<bool, 16> TFormSequenser::CheckedColumns() const {
    std::array<bool, 16> cols{};
    for (size_t c = 0; c < GroupColumnBoxes.size() && c < cols.size(); ++c) cols[c] = GroupColumnBoxes[c]->isChecked();
    return cols;
}

void TFormSequenser::RedrawAreaGroup() {
    if (GroupCells.empty() || !GroupCells[0]) return;
    const ShowData& d = ShowDataInstance();
    const int g = GridGroup(), first = GridFirstRow();
    for (int c = 0; c < spirelo::kGridColumns; ++c)
        for (int r = 0; r < spirelo::kGridRows; ++r)
            spirelo::SetCheckedSilently(GroupCells[c * spirelo::kGridRows + r],
                                        spirelo::GridCellChecked(d, g, first, c, r));
}

void TFormSequenser::HintCheckGroup() {
    if (GroupCells.empty() || !GroupCells[0]) return;
    ShowData& d = ShowDataInstance();
    for (int c = 0; c < spirelo::kGridColumns; ++c) {
        const QString hint = Q(spirelo::GridColumnHint(d, GridGroup(), c)).remove('\r');
        for (int r = 0; r < spirelo::kGridRows; ++r) GroupCells[c * spirelo::kGridRows + r]->setToolTip(hint);
    }
}

bool TFormSequenser::Question() {
    return spirelo::Messages().question(spirelo::TwoLines("You change group options. ", "You sure?")) ==
           spirelo::Answer::Yes;
}

void TFormSequenser::CheckBoxGroupSet(bool Value) {
    for (QCheckBox* cb : GroupColumnBoxes) spirelo::SetCheckedSilently(cb, Value);
}

void TFormSequenser::onCheckGroup(int Tag) {
    if (Tag < 0 || Tag >= int(GroupCells.size())) return;
    SaveToUndo();
    spirelo::SetGridCell(ShowDataInstance(), GridGroup(), GridFirstRow(), Tag / spirelo::kGridRows,
                         Tag % spirelo::kGridRows, GroupCells[Tag]->isChecked());
    RedrawAreaGroup();
}

void TFormSequenser::MouseDownCheckBoxGroup(int Tag) {
    if (Tag < 0 || Tag >= int(GroupCells.size())) return;
    ScrollBarBeginChK->setValue(GridFirstRow() + Tag % spirelo::kGridRows + 1);
    spirelo::SetCheckedSilently(GroupColumnBoxes[Tag / spirelo::kGridRows], true);
}

void TFormSequenser::ScrollBarGroupPosChange() {
    const int first = ScrollBarGroupPos->value();
    for (int r = 0; r < int(GroupRowLabels.size()); ++r) GroupRowLabels[r]->setText(Q(spirelo::GridRowText(first, r)));
    HintCheckGroup();
}

void TFormSequenser::ScrollBarGroupPosScroll(int position) {
    ShowDataInstance().EditorSettings[8] = position;
    RedrawAreaGroup();
}

void TFormSequenser::RadioGroupSeqDuoClick(int index) {
    const int g = std::clamp(index, 0, 3);
    LabelGroupSeqUp->setText(GroupLabelTexts[g]);
    LabelGroupseqDw->setText(GroupLabelTexts[g]);
    RedrawAreaGroup();
    HintCheckGroup();
}

void TFormSequenser::ScrollBarBeginChKChange() {
    const int b = ScrollBarBeginChK->value(), l = ScrollBarLengDmxChK->value();
    LabelChK->setText(Q(spirelo::RangeLabelText(b, l)));
    SpeedButtonAnother->setText(Q(spirelo::NextButtonCaption(b, l)));
    LabelLengFix->setText(Q(spirelo::RangeLengthText(l)));
}

void TFormSequenser::SpeedButtonAnotherClick() {
    ScrollBarBeginChK->setValue(spirelo::NextRangeBegin(ScrollBarBeginChK->value(), ScrollBarLengDmxChK->value()));
}

void TFormSequenser::RangeButtonClick(int value) {
    if (SecondGroupShown()) return;
    SaveToUndo();
    spirelo::ApplyRangeToColumns(ShowDataInstance(), GridGroup(), CheckedColumns(), ScrollBarBeginChK->value(),
                                 ScrollBarLengDmxChK->value(), static_cast<uint8_t>(value));
    CheckBoxGroupSet(false);
    RedrawAreaGroup();
}

void TFormSequenser::AreaButtonClick(int kind) {
    if (SecondGroupShown()) return;
    SaveToUndo();
    if (Question())
        spirelo::ApplyAreaToColumns(ShowDataInstance(), GridGroup(), CheckedColumns(), spirelo::AreaBoundsInstance(),
                                    static_cast<spirelo::AreaKind>(std::clamp(kind, 0, 2)));
    CheckBoxGroupSet(false);
    RedrawAreaGroup();
}

void TFormSequenser::SpeedButtonClearSkrepkaClick() {
    if (SecondGroupShown()) return;
    SaveToUndo();
    if (Question()) spirelo::ClearMaskRows(ShowDataInstance(), spirelo::kMaskRows);
    CheckBoxGroupSet(false);
    RedrawAreaGroup();
}

void TFormSequenser::SpeedButtonGroupAlloffAllClick() {
    if (SecondGroupShown()) return;
    if (spirelo::Messages().question("Clear all fix DMX? ") == spirelo::Answer::No) return;
    SaveToUndo();
    spirelo::ClearMaskRows(ShowDataInstance(), spirelo::kSequencers);
    CheckBoxGroupSet(false);
    RedrawNewSeq();
}

void TFormSequenser::SpeedButtonDoviClick() {
    SaveToUndo();
    if (Question()) spirelo::ApplyFixedPreset(ShowDataInstance());
    RedrawAreaGroup();
}

// --- ROM export --------------------------------------------------------------------------

void TFormSequenser::ScrollBarAdrRomChange() {
    GroupBoxAdrRom->setTitle(QStringLiteral("ADR ROM %1").arg(ScrollBarAdrRom->value()));
}

void TFormSequenser::SpeedButtonSendClick() {
    SetActivePage(4);   // the notes memo, where the text goes
    if (!SerialPortDevice) SerialPortDevice = std::make_unique<spirelo::QtSerialPort>();
    const spirelo::RomSendResult res =
        spirelo::SendRomTable(ShowDataInstance(), ShownSeq(), ScrollBarAdrRom->value(), *SerialPortDevice,
                              spirelo::SerialPortName(spirelo::SettingsFilePath()), spirelo::Messages());
    // Appended: the memo is the operator's notes file.
    for (const std::string& line : res.memoLines) MemoNotes->appendPlainText(Q(line));
    ScrollBarAdrRom->setValue(res.nextAddress);
}
