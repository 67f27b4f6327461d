#include "visualiser/layout_diagram.h"
#include "visualiser/layout_editor.h"
#include "visualiser/layout_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

using namespace spirelo;

namespace {

std::unique_ptr<CollectorTable> NewTable() {
    auto t = std::make_unique<CollectorTable>();
    ResetCollectorTable(*t);
    return t;
}

TEST(LayoutEditor, TypedTextIsStoredByTheFieldsRule) {
    struct Case {
        EditField field;
        const char* text;
        double stored;
    } cases[] = {
        {EditField::PosX, "-", 0},      {EditField::PosX, "60", 50},    {EditField::PosX, "-75", -50},
        {EditField::PosX, "", 0},       {EditField::PosX, "2,5", 2.5},  {EditField::PosZ, "-,", 0},
        {EditField::PosY, "5,", 5},     {EditField::Sweep, "75", 50},   {EditField::High, "12,25", 12.25},
        {EditField::Naklon, "-", 0},    {EditField::Kolvo, "255", 254}, {EditField::Kolvo, "300", 44},
        {EditField::Kolvo, "256", 0},   {EditField::Kolvo, "511", 254}, {EditField::Kolvo, "", 0},
        {EditField::Spot, "7", 7},
    };
    for (const Case& k : cases) {
        auto t = NewTable();
        t->X[3] = t->Y[3] = t->Z[3] = t->Size[3] = t->High[3] = t->Naklon[3] = 9;
        t->Kolvo[3] = t->SpotGroups[3] = 9;
        ASSERT_TRUE(ApplyEditText(*t, 3, k.field, k.text)) << k.text;
        double got = 0;
        switch (k.field) {
        case EditField::PosX: got = t->X[3]; break;
        case EditField::PosY: got = t->Y[3]; break;
        case EditField::PosZ: got = t->Z[3]; break;
        case EditField::Sweep: got = t->Size[3]; break;
        case EditField::High: got = t->High[3]; break;
        case EditField::Naklon: got = t->Naklon[3]; break;
        case EditField::Kolvo: got = t->Kolvo[3]; break;
        case EditField::Spot: got = t->SpotGroups[3]; break;
        }
        EXPECT_FLOAT_EQ(got, k.stored) << "\"" << k.text << "\"";
        EXPECT_EQ(t->X[2], 0) << "only collector 3 changes";
    }
}

TEST(LayoutEditor, TextThatIsNotANumberLeavesTheField) {
    auto t = NewTable();
    t->X[1] = 4;
    t->Kolvo[1] = 6;
    for (const char* pasted : {"abc", "2.5", "1-", "--1", "1,2,3", "5e3"}) {
        EXPECT_FALSE(ApplyEditText(*t, 1, EditField::PosX, pasted)) << pasted;
        EXPECT_FALSE(ApplyEditText(*t, 1, EditField::Kolvo, pasted)) << pasted;
    }
    EXPECT_FALSE(ApplyEditText(*t, 1, EditField::Kolvo, "-1"));
    EXPECT_EQ(t->X[1], 4);
    EXPECT_EQ(t->Kolvo[1], 6);
    // A long pasted count still wraps by the rule instead of overflowing.
    EXPECT_TRUE(ApplyEditText(*t, 1, EditField::Kolvo, "99999999999999999999"));
}

TEST(LayoutEditor, KeyFilter) {
    using V = KeyVerdict;
    struct Case {
        EditField field;
        const char* text;
        int selStart, selLength;
        char32_t key;
        V verdict;
    } cases[] = {
        {EditField::PosX, "2,5", 3, 0, U'1', V::Accept},
        {EditField::PosX, "2,55", 4, 0, U'1', V::Drop},         // a third decimal
        {EditField::PosX, "2,55", 3, 0, U'1', V::Drop},
        {EditField::PosX, "2,55", 0, 0, U'1', V::Accept},       // in front of the comma
        {EditField::PosX, "2,55", 3, 1, U'1', V::Accept},       // typing over the last decimal
        {EditField::Sweep, "2", 1, 0, U'.', V::AcceptAsComma},
        {EditField::Sweep, "2", 1, 0, U',', V::AcceptAsComma},
        {EditField::Sweep, "2", 0, 0, U',', V::Drop},           // at caret 0
        {EditField::Sweep, "2,5", 3, 0, U',', V::Drop},         // a second comma
        {EditField::Sweep, "2,5", 1, 2, U',', V::AcceptAsComma},   // over the old one
        {EditField::Sweep, "", 0, 0, U',', V::Drop},            // empty text
        {EditField::PosX, "", 0, 0, U'-', V::Accept},
        {EditField::PosZ, "5", 0, 0, U'-', V::Accept},
        {EditField::PosX, "5", 1, 0, U'-', V::Drop},            // not at the start
        {EditField::Sweep, "", 0, 0, U'-', V::Drop},
        {EditField::Naklon, "", 0, 0, U'-', V::Drop},
        {EditField::PosY, "-5", 0, 0, U'-', V::Drop},           // a second "-"
        {EditField::PosY, "-5", 0, 0, U'3', V::Drop},           // a digit before a "-"
        {EditField::PosY, "-5", 0, 1, U'3', V::Accept},         // ... unless it replaces it
        {EditField::PosY, "-", 1, 0, U',', V::AcceptAsComma},
        {EditField::PosX, "2", 1, 0, U'a', V::Drop},
        {EditField::PosX, "2", 1, 0, U' ', V::Drop},
        {EditField::PosX, "2,55", 4, 0, U'\b', V::Accept},
        {EditField::Kolvo, "25", 2, 0, U'5', V::Accept},
        {EditField::Kolvo, "254", 3, 0, U'1', V::Drop},         // a fourth digit
        {EditField::Kolvo, "254", 0, 3, U'1', V::Accept},       // over a selection
        {EditField::Kolvo, "254", 3, 0, U'\b', V::Accept},
        {EditField::Spot, "1", 1, 0, U',', V::Drop},
        {EditField::Spot, "", 0, 0, U'-', V::Drop},
        {EditField::Kolvo, "", 0, 0, U'ж', V::Drop},
    };
    for (const Case& k : cases)
        EXPECT_EQ(FilterEditKey(k.text, k.selStart, k.selLength, k.key, k.field), k.verdict)
            << "\"" << k.text << "\" caret " << k.selStart << "+" << k.selLength << " key " << uint32_t(k.key);
}

TEST(LayoutEditor, RefreshTextsAndLabels) {
    auto t = NewTable();
    FillPresetLayout(*t);
    EXPECT_EQ(EditFieldText(*t, 1, EditField::PosX), "-0,86");
    EXPECT_EQ(EditFieldText(*t, 1, EditField::High), "2");
    EXPECT_EQ(EditFieldText(*t, 1, EditField::Naklon), "3,3");
    EXPECT_EQ(EditFieldText(*t, 1, EditField::Kolvo), "5");
    t->X[2] = -0.001f;
    EXPECT_EQ(EditFieldText(*t, 2, EditField::PosX), "0");
    SetCollectorName(*t, 4, "a\tb");
    EXPECT_EQ(NameFieldText(*t, 4), "a b") << "shown without its padding";
    EXPECT_EQ(NameFieldText(*t, 1), "") << "the preset's names are empty";

    EXPECT_EQ(ClampPosition(std::nan(""), 0, 359), 0);
    EXPECT_EQ(ClampPosition(1e30, 0, 359), 359);
    EXPECT_EQ(ClampPosition(89.9, 0, 359), 89);

    EXPECT_EQ(NumberLabel(7), "Номер коллектора 7");
    EXPECT_EQ(RotatAllLabel(45), "Пов Кольца 45");
    EXPECT_EQ(RotatJetLabel(3), "ПовСтруй 3");
    EXPECT_EQ(LengJetLabel(100), "Длина струи 100%");
    EXPECT_EQ(ProporciaLabel(90), "Пропорция 90%");
    EXPECT_EQ(SpotDmxLabel(0, 2), "Без подсветки");
    EXPECT_EQ(SpotDmxLabel(10, 2), "L DMX 10>>15");
    EXPECT_EQ(PumpDmxLabel(0), "Коллектор без частотников");
    EXPECT_EQ(PumpDmxLabel(117), "Pump DMX 117");
    EXPECT_EQ(ValveDmxLabel(0, 5), "Клапанов нет");
    EXPECT_EQ(ValveDmxLabel(20, 5), "КлапDMX 20>>24");
    EXPECT_EQ(SkewDmxLabel(0), "Наклон постоянный");
    EXPECT_EQ(SkewDmxLabel(40), "Наклон DMX 40");
    EXPECT_EQ(MinLabel(0), "Min=0");
    EXPECT_EQ(MaxLabel(255), "Max=255");
    EXPECT_EQ(DelayLabel(10, 25), "Время выхода струи 250ms");
}

class Copies : public ::testing::Test {
protected:
    void SetUp() override {
        t = NewTable();
        t->PumpDmx[2] = 10;
        t->ValveDmx[2] = 20;
        t->SpotDmx[2] = 30;
        t->SkewDmx[2] = 40;
        t->Kolvo[2] = 5;
        t->SpotGroups[2] = 2;
        t->X[2] = 1.5f;
        t->Kind[2] = kKindRing;
        t->ReservedSingles[6][2] = 7;
        t->ReservedWords[4][2] = 8;
        SetCollectorName(*t, 2, "second");
        t->Min[3] = 11;
        t->Max[3] = 200;
        std::memset(t->Text1[3], 'x', kTextRecord);
        // The tour lives in the same arrays.
        for (int s = 0; s <= 3; ++s) {
            t->TourViewerX[s] = float(100 + s);
            t->TourViewerY[s] = float(200 + s);
            t->TourZoom[s] = uint8_t(30 + s);
            t->TourRotX[s] = t->TourRotY[s] = t->TourRotZ[s] = uint16_t(300 + s);
            t->ReservedWords1[s] = uint16_t(400 + s);
        }
        t->TourLast() = 12;
    }
    void expectTourKept() {
        for (int s = 0; s <= 3; ++s) {
            EXPECT_EQ(t->TourViewerX[s], float(100 + s)) << s;
            EXPECT_EQ(t->TourViewerY[s], float(200 + s)) << s;
            EXPECT_EQ(t->TourZoom[s], 30 + s) << s;
            EXPECT_EQ(t->TourRotX[s], 300 + s) << s;
            EXPECT_EQ(t->TourRotZ[s], 300 + s) << s;
            if (s != 1) {
                EXPECT_EQ(t->ReservedWords1[s], 400 + s) << s;
            }
        }
        EXPECT_EQ(t->TourLast(), 12);
    }
    std::unique_ptr<CollectorTable> t;
};

TEST_F(Copies, CopyFromLastFollowsTheAddressesOn) {
    ASSERT_TRUE(CopyFromLast(*t, 3));
    EXPECT_EQ(t->PumpDmx[3], 11);
    EXPECT_EQ(t->ValveDmx[3], 25);
    EXPECT_EQ(t->SpotDmx[3], 36);
    EXPECT_EQ(t->SkewDmx[3], 40);
    EXPECT_EQ(t->X[3], 1.5f);
    EXPECT_EQ(t->Kind[3], kKindRing);
    EXPECT_EQ(t->ReservedSingles[6][3], 7);
    EXPECT_EQ(t->ReservedWords[4][3], 8);
    EXPECT_EQ(CollectorName(*t, 3), "second          ");
    EXPECT_EQ(t->Min[3], 11);
    EXPECT_EQ(t->Max[3], 200);
    EXPECT_EQ(t->Text1[3][10], 'x');
    EXPECT_EQ(t->Text2[3][10], ' ');
    expectTourKept();

    t->ValveDmx[2] = 0;
    ASSERT_TRUE(CopyFromLast(*t, 3));
    EXPECT_EQ(t->ValveDmx[3], 0) << "a collector without valves stays so";

    auto before = std::make_unique<CollectorTable>(*t);
    EXPECT_FALSE(CopyFromLast(*t, 1));
    EXPECT_EQ(std::memcmp(before.get(), t.get(), sizeof(CollectorTable)), 0) << "c = 1 does nothing";
}

TEST_F(Copies, CopyAndPasteKeepAddressesAndTheTour) {
    CopyToBuffer(*t, 2);
    EXPECT_EQ(t->PumpDmx[0], 10);
    EXPECT_EQ(t->X[0], 1.5f);
    PasteFromBuffer(*t, 1);   // element 1 of the reserved word array is TourLast
    EXPECT_EQ(t->PumpDmx[1], 10);
    EXPECT_EQ(t->ValveDmx[1], 20);
    EXPECT_EQ(CollectorName(*t, 1), "second          ");
    PasteFromBuffer(*t, 3);
    EXPECT_EQ(t->Min[3], 11);
    EXPECT_EQ(t->Text1[3][0], 'x');
    expectTourKept();
}

TEST(LayoutEditor, NewAllOnAndSolo) {
    auto t = NewTable();
    FillPresetLayout(*t);
    t->Kind[0] = t->Kind[100] = 3;
    NewLayout(*t);
    for (int s = 0; s <= 100; ++s) EXPECT_EQ(t->Kind[s], 0);
    EXPECT_EQ(t->Kolvo[1], 5) << "everything else stays";
    Solo(*t, 7);
    for (int s = 0; s <= 100; ++s) EXPECT_EQ(t->Enabled[s], s == 7 ? 1 : 0);
    AllOn(*t);
    for (int s = 0; s <= 100; ++s) EXPECT_EQ(t->Enabled[s], 1);
}

TEST(NozzleCalculation, FlowsHeadAndCarry) {
    auto t = NewTable();
    t->Nozzle[1] = 4;
    t->High[1] = 25;
    t->Kolvo[1] = 5;
    NozzleCarry carry;
    NozzleCalc n = TabForsunka(*t, 1, carry);
    EXPECT_NEAR(n.flowPerNozzle, 29.1, 1e-9);
    EXPECT_NEAR(n.pumpFlow, 145.5, 1e-9);
    EXPECT_NEAR(n.pumpM3h, 8.73, 1e-9);
    EXPECT_EQ(FormatNumber(n.head, 8), "1,2903226");
    EXPECT_EQ(n.thread, "G=1 1\\4 DN=32");

    // A sprudler after a row-3 collector: row 8's flows with row 3's top, add and thread.
    t->Nozzle[2] = 3;
    t->Nozzle[3] = 10;
    t->High[3] = 25;
    TabForsunka(*t, 2, carry);
    n = TabForsunka(*t, 3, carry);
    EXPECT_EQ(n.top, 700);
    EXPECT_EQ(n.flowAdd, 1.0);
    EXPECT_EQ(n.thread, "G=1 DN=25");
    EXPECT_EQ(n.lowFlow, 85.0);
    EXPECT_EQ(n.highHead, 26.5);
    EXPECT_NEAR(n.flowPerNozzle, 85.0 + 1.0, 1e-9);

    // First in a report: nothing to carry.
    NozzleCarry fresh;
    n = TabForsunka(*t, 3, fresh);
    EXPECT_EQ(n.top, 0);
    EXPECT_EQ(n.flowAdd, 0);
    EXPECT_EQ(n.thread, "");
    EXPECT_TRUE(std::isfinite(n.flowPerNozzle));

    t->Nozzle[4] = 200;   // from a file
    n = TabForsunka(*t, 4, fresh);
    EXPECT_EQ(n.lowFlow, 85.0);
    EXPECT_EQ(NozzleText(200), "");
    EXPECT_EQ(NozzleText(12), "Rotor");
    EXPECT_EQ(CollectorKindText(13), "");
    EXPECT_EQ(CollectorKindText(11), "Объект: Куб");
}

TEST(NozzleCalculation, NumberFormat) {
    EXPECT_EQ(FormatNumber(-0.86), "-0,86");
    EXPECT_EQ(FormatNumber(2), "2");
    EXPECT_EQ(FormatNumber(8.73, 8), "8,73");
    EXPECT_EQ(FormatNumber(29.099999999999998, 8), "29,1");
    EXPECT_EQ(FormatNumber(-0.0), "0");
}

TEST(Report, OneRingCollectorGivesTheExactLines) {
    auto t = NewTable();
    t->Kind[1] = kKindRing;
    t->Nozzle[1] = 4;
    t->High[1] = 25;
    t->Kolvo[1] = 5;
    t->X[1] = -0.86104f;
    t->Y[1] = 0.5f;
    t->Z[1] = 2.1f;
    t->Size[1] = 4;
    t->Naklon[1] = 3.3f;
    t->SpotGroups[1] = 2;
    t->SpotDmx[1] = 1;
    t->PumpDmx[1] = 117;
    t->ValveDmx[1] = 10;
    SetCollectorName(*t, 1, "Кольцо");
    std::vector<std::string> expected = {
        "Программа визуализации фонтанов",
        "Имя файла: /tmp/a.a3d",
        " ",
        " ",
        "=== ",
        "StrujaMin 25",
        "StrujaMax 800",
        "dlStrja 775",
        " ",
        "MinData Rasxod 27,9",
        "MaxData Rasxod 107",
        "dlRasxod 79,1",
        " ",
        "MinDataNpor 1",
        "MaxDataNpor 10",
        "dlNapor 9",
        "=== ",
        "1. Кольцо          ",
        "Положение X: -0,86   \tY: 0,5   \tZ: 2,1   \t ",
        "Тип: Кольцо",
        "Размер 4 m",
        "Высота 25 m",
        "Насадка Jet 12 mm",
        "Резьба G=1 1\\4 DN=32",
        "Расход форсунки 29,1 л\\мин",
        "Наклон 3,3 m",
        "Колво форсунок 5 шт",
        "Групп Прожекторов 2 шт.",
        "ADR DMX свет от 1 до 6",
        "ADR DMX Насос 117",
        "ADR DMX Клапана от 10 до 14",
        "Производительность насоса 145,5 л\\мин",
        "Производительность насоса 8,73 м3\\час",
        "Напор насоса 1,2903226 м",
    };
    std::vector<std::string> got = BuildReport(*t, "/tmp/a.a3d");
    ASSERT_EQ(got.size(), expected.size());
    for (size_t k = 0; k < got.size(); ++k) EXPECT_EQ(got[k], expected[k]) << "line " << k;

    // The carry restarts with every report.
    t->Kind[2] = kKindLine;
    t->Nozzle[1] = 9;
    t->Nozzle[2] = 3;
    EXPECT_EQ(BuildReport(*t, "x"), BuildReport(*t, "x"));
    EXPECT_EQ(BuildReport(*t, "x")[23], "Резьба ");

    auto empty = NewTable();
    empty->Kolvo[5] = 3;   // no type: not reported
    EXPECT_EQ(BuildReport(*empty, "No File"),
              (std::vector<std::string>{"Программа визуализации фонтанов", "Имя файла: No File", " "}));
}

class Diagram : public ::testing::Test {
protected:
    using T = DiagramPrimitive::Type;
    std::vector<DiagramPrimitive> of(T type, const std::vector<DiagramPrimitive>& all) {
        std::vector<DiagramPrimitive> out;
        for (const auto& p : all)
            if (p.type == type) out.push_back(p);
        return out;
    }
    std::unique_ptr<CollectorTable> t = NewTable();
};

TEST_F(Diagram, RingWithDotsAndTheHighlight) {
    t->Kind[1] = kKindRing;
    t->Kolvo[1] = 4;
    t->X[1] = 10;
    t->Size[1] = 4;
    auto all = DiagramPrimitives(*t, 2, false);
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[0].type, T::Fill);
    EXPECT_EQ(all[0].colour, kDiagramWhite);
    EXPECT_EQ(all[1].type, T::Rectangle);
    EXPECT_EQ(all[1].x1, 2);
    EXPECT_EQ(all[1].x2, 998);
    EXPECT_EQ(all[1].penWidth, 3);
    EXPECT_EQ(all[1].colour, kDiagramBlack);
    EXPECT_TRUE(of(T::Line, all).empty()) << "no grid";

    auto circles = of(T::Circle, all);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(circles[0].x1, 600);
    EXPECT_EQ(circles[0].y1, 500);
    EXPECT_EQ(circles[0].r, 20);
    EXPECT_EQ(circles[0].colour, kDiagramGreen);
    EXPECT_EQ(circles[0].penWidth, 2);
    auto dots = of(T::Dot, all);
    ASSERT_EQ(dots.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        double a = k * 90 * M_PI / 180;
        EXPECT_NEAR(dots[k].x1, 600 + 20 * std::sin(a), 1e-9) << k;
        EXPECT_NEAR(dots[k].y1, 500 + 20 * std::cos(a), 1e-9) << k;
        EXPECT_EQ(dots[k].colour, k == 0 ? kDiagramRed : kDiagramTeal) << k;
    }
    EXPECT_EQ(of(T::Rectangle, all).size(), 1u) << "not the current collector";

    all = DiagramPrimitives(*t, 1, true);
    auto rects = of(T::Rectangle, all);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[1].x1, 580);
    EXPECT_EQ(rects[1].y1, 480);
    EXPECT_EQ(rects[1].x2, 620);
    EXPECT_EQ(rects[1].y2, 520);
    EXPECT_TRUE(rects[1].dotted);
    EXPECT_EQ(rects[1].colour, kDiagramBlue);
    EXPECT_EQ(of(T::Circle, all)[0].colour, kDiagramRed);
    auto lines = of(T::Line, all);
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[2].x1, 100);
    EXPECT_EQ(lines[2].colour, kDiagramGrey);
}

TEST_F(Diagram, LineDotsAndEmptyCollectors) {
    t->Kind[1] = kKindLine;
    t->Kolvo[1] = 3;
    t->RotatAll[1] = 90;
    t->Size[1] = 2;
    auto all = DiagramPrimitives(*t, 5, false);
    auto dots = of(T::Dot, all);
    ASSERT_EQ(dots.size(), 3u);
    double want[3][2] = {{500, 510}, {500, 500}, {500, 490}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(dots[k].x1, want[k][0], 1e-9) << k;
        EXPECT_NEAR(dots[k].y1, want[k][1], 1e-9) << k;
    }
    auto lines = of(T::Line, all);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0].y1, 510, 1e-9);
    EXPECT_NEAR(lines[0].y2, 490, 1e-9);

    t->Kolvo[1] = 0;
    t->Kind[2] = kKindRing;   // Kolvo 0
    t->X[3] = NAN;            // from a file: drawn at the centre, nothing undefined
    t->Kind[3] = kKindRing;
    t->Kolvo[3] = 1;
    t->Kind[4] = 11;          // an object: only its highlight
    all = DiagramPrimitives(*t, 4, false);
    EXPECT_EQ(of(T::Circle, all).size(), 2u);
    EXPECT_EQ(of(T::Line, all).size(), 1u);
    ASSERT_EQ(of(T::Dot, all).size(), 1u);
    EXPECT_EQ(of(T::Dot, all)[0].x1, 500);
    EXPECT_EQ(of(T::Rectangle, all).size(), 2u);
}

}  // namespace
