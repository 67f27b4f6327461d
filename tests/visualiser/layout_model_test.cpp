#include "visualiser/layout_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace spirelo;

namespace {

class Expansion : public ::testing::Test {
protected:
    void SetUp() override {
        ResetCollectorTable(*t);
        ResetJetTable(*jets);
    }
    void collector(int c, uint8_t kind, uint8_t count) {
        t->Kind[c] = kind;
        t->Kolvo[c] = count;
    }
    void recount() { RecountJets(*t, *jets); }
    double angleOf(int j, int c) const {   // direction of jet j from collector c's centre, degrees
        return std::atan2(jets->X[j] - t->X[c], jets->Z[j] - t->Z[c]) * 180 / M_PI;
    }
    std::unique_ptr<CollectorTable> t = std::make_unique<CollectorTable>();
    std::unique_ptr<JetTable> jets = std::make_unique<JetTable>();
};

TEST(LayoutModel, StartValues) {
    auto t = std::make_unique<CollectorTable>();
    ResetCollectorTable(*t);
    for (int c : {0, 1, 100}) {
        EXPECT_EQ(t->LengJet[c], 100);
        EXPECT_EQ(t->Proporcia[c], 90);
        EXPECT_EQ(t->Max[c], 255);
        EXPECT_EQ(t->Min[c], 0);
        EXPECT_EQ(t->TourZoom[c], 27);
        EXPECT_EQ(t->TourRotX[c], 4);
        EXPECT_EQ(t->TourRotY[c], 357);
        EXPECT_FLOAT_EQ(t->TourViewerX[c], -0.0942f);
        EXPECT_FLOAT_EQ(t->TourViewerY[c], -5.0556f);
        EXPECT_EQ(t->Enabled[c], 1);
        EXPECT_EQ(CollectorName(*t, c), std::string(16, ' '));
        EXPECT_EQ(t->Text1[c][256], ' ');
    }
    EXPECT_EQ(t->TourLast(), 0);
    auto j = std::make_unique<JetTable>();
    ResetJetTable(*j);
    EXPECT_FLOAT_EQ(j->Height[1], 10);
    EXPECT_EQ(j->Segments[1000], 100);
    EXPECT_EQ(j->JetCount, 0);
}

TEST(LayoutModel, ParabolaPeaksAtHalfway) {
    ParabolaTable p;
    FillParabolaTable(p);
    EXPECT_FLOAT_EQ(p.P[0], 0);
    EXPECT_FLOAT_EQ(p.P[50], 0.1f);
    EXPECT_FLOAT_EQ(p.P[100], 0);
    EXPECT_FLOAT_EQ(p.P[25], p.P[75]);
    EXPECT_FLOAT_EQ(p.P[101], 0);
    EXPECT_FLOAT_EQ(p.P[255], 0);
}

TEST(LayoutModel, NamesAreLengthPrefixedCp1251) {
    auto t = std::make_unique<CollectorTable>();
    ResetCollectorTable(*t);
    SetCollectorName(*t, 3, "Кольцо центральное большое");
    EXPECT_EQ(t->Name[3][0], 16);
    EXPECT_EQ(t->Name[3][1], 0xCA);   // "К" in CP1251
    EXPECT_EQ(CollectorName(*t, 3), "Кольцо центральн");
    SetCollectorName(*t, 4, "ab");
    EXPECT_EQ(CollectorName(*t, 4), "ab" + std::string(14, ' '));
    t->Name[5][0] = 200;   // a damaged length reads 16 characters, never past the record
    EXPECT_EQ(CollectorName(*t, 5).size(), 16u);
    t->Name[6][0] = 0;
    EXPECT_EQ(CollectorName(*t, 6), "");
    EXPECT_EQ(CollectorName(*t, 101), "");
}

TEST_F(Expansion, RingSpreadsJetsByProporcia) {
    struct Case {
        int prop, count;
        double step;
    };
    for (Case c : {Case{180, 12, 30}, Case{90, 12, 15}}) {
        SetUp();
        collector(1, kKindRing, uint8_t(c.count));
        t->Proporcia[1] = uint8_t(c.prop);
        t->Size[1] = 2 * 1.07f * 3;   // radius 3
        t->RotatAll[1] = 90;
        t->RotatJet[1] = 10;
        t->High[1] = 4;
        t->Naklon[1] = 2;
        t->ValveDmx[1] = 40;
        recount();
        ASSERT_EQ(jets->JetCount, c.count + 1);
        for (int k = 0; k < c.count; ++k) {
            int j = k + 1;
            double want = 90 - k * c.step;
            double got = angleOf(j, 1);
            EXPECT_NEAR(std::remainder(got - want, 360.0), 0, 1e-3) << c.prop << " jet " << k;
            EXPECT_NEAR(std::hypot(jets->X[j], jets->Z[j]), 3, 1e-4);
            EXPECT_FLOAT_EQ(jets->Rotation[j], float(100 + k * c.step));
            EXPECT_FLOAT_EQ(jets->Tilt[j], 2);
            EXPECT_FLOAT_EQ(jets->Height[j], 4);
            EXPECT_EQ(jets->ValveDmx[j], 40 + k);
            EXPECT_EQ(jets->Kind[j], kKindRing);
        }
    }
}

TEST_F(Expansion, LinePositionsAndTiltSpread) {
    collector(1, kKindLine, 5);
    t->Size[1] = 4;
    t->Proporcia[1] = 0;
    t->Naklon[1] = 3;
    t->X[1] = 1;
    collector(2, kKindLine, 1);
    t->Size[2] = 4;
    t->RotatAll[2] = 90;
    t->Proporcia[2] = 90;
    recount();
    const double dist[] = {2, 1, 0, -1, -2};
    for (int k = 0; k < 5; ++k) {
        EXPECT_NEAR(jets->X[1 + k], 1 + dist[k], 1e-5);
        EXPECT_NEAR(jets->Z[1 + k], 0, 1e-5);
        EXPECT_FLOAT_EQ(jets->Tilt[1 + k], 3);
        EXPECT_EQ(jets->ValveDmx[1 + k], 0);   // no valve address: none for every jet
    }
    // A single jet sits at Size/2; with Proporcia 90 it leans by t0 + st/2 = -5 - 5.
    EXPECT_NEAR(jets->X[6], 0, 1e-5);
    EXPECT_NEAR(jets->Z[6], 2, 1e-5);
    EXPECT_NEAR(jets->Tilt[6], -10, 1e-5);
    EXPECT_EQ(jets->JetCount, 7);
}

TEST_F(Expansion, LineTiltTable) {
    collector(1, kKindLine, 4);
    t->Size[1] = 3;
    t->Proporcia[1] = 36;   // t0 = -2, st = -1
    t->Naklon[1] = 1;
    recount();
    const float want[] = {1 - 2 - 0.5f, 1 - 2 - 1.5f, 1 - 2 - 2.5f, 1 - 2 - 3.5f};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(jets->Tilt[1 + k], want[k], 1e-5);
}

TEST_F(Expansion, HouseHeightsRiseThenFall) {
    collector(1, kKindHouse, 4);
    t->High[1] = 8;
    t->Proporcia[1] = 90;
    t->Size[1] = 3;
    collector(2, kKindHouse, 5);
    t->High[2] = 8;
    t->Proporcia[2] = 90;
    recount();
    const double even[] = {1, 3, 3, 1}, odd[] = {8.8, 10.4, 12, 10.4, 8.8};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(jets->Height[1 + k], even[k] / 1.8, 1e-5) << k;
    for (int k = 0; k < 5; ++k) EXPECT_NEAR(jets->Height[5 + k], odd[k] / 1.8, 1e-5) << k;
    EXPECT_NEAR(jets->X[1], 1.5, 1e-5);   // placed as a line
    EXPECT_NEAR(jets->X[4], -1.5, 1e-5);
}

TEST_F(Expansion, SpiralGrowsOutward) {
    collector(1, kKindSpiral, 4);
    t->Size[1] = 2.01f * 2;
    t->Proporcia[1] = 100;
    t->High[1] = 3;
    t->PumpDmx[1] = 9;
    t->ValveDmx[1] = 20;
    recount();
    for (int k = 0; k < 4; ++k) {
        int j = 1 + k;
        EXPECT_NEAR(std::hypot(jets->X[j], jets->Z[j]), 2 + 0.1 * k, 1e-4);
        EXPECT_FLOAT_EQ(jets->Rotation[j], float(90 * k));
        EXPECT_FLOAT_EQ(jets->Height[j], 3.1f);
        EXPECT_EQ(jets->PumpDmx[j], 9);
        EXPECT_EQ(jets->ValveDmx[j], 20 + k);
    }
}

TEST_F(Expansion, RotationAndSingleSitAtTheCentreWithoutValves) {
    for (uint8_t kind : {uint8_t(kKindRotation), uint8_t(kKindSingle)}) {
        SetUp();
        collector(1, kind, 2);
        t->X[1] = 1;
        t->Y[1] = 2;
        t->Z[1] = 3;
        t->RotatAll[1] = 10;
        t->RotatJet[1] = 5;
        t->Naklon[1] = 4;
        t->High[1] = 6;
        t->ValveDmx[1] = 30;
        t->PumpDmx[1] = 7;
        t->SkewDmx[1] = 8;
        t->LengJet[1] = 150;
        t->Nozzle[1] = 3;
        recount();
        for (int j : {1, 2}) {
            EXPECT_FLOAT_EQ(jets->X[j], 1);
            EXPECT_FLOAT_EQ(jets->Y[j], 2);
            EXPECT_FLOAT_EQ(jets->Z[j], 3);
            EXPECT_EQ(jets->ValveDmx[j], 0);
            EXPECT_EQ(jets->PumpDmx[j], 7);
            EXPECT_EQ(jets->SkewDmx[j], 8);
            EXPECT_EQ(jets->Segments[j], 150);
            EXPECT_EQ(jets->Nozzle[j], 3);
            EXPECT_FLOAT_EQ(jets->Height[j], 6);
            EXPECT_FLOAT_EQ(jets->Rotation[j], kind == kKindSingle ? 15 : 0);
            EXPECT_FLOAT_EQ(jets->Tilt[j], kind == kKindSingle ? 4 : 0);
        }
    }
}

TEST_F(Expansion, LightGroupAddressing) {
    struct Case {
        int groups;
        std::vector<int> want;
    };
    const Case cases[] = {
        {5, {1, 1, 4, 4, 7, 7, 10, 10, 13, 13}},
        {10, {1, 4, 7, 10, 13, 16, 19, 22, 25, 28}},
        {12, {1, 4, 7, 10, 13, 16, 19, 22, 25, 28}},   // more groups than jets: one each
        {1, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {3, {1, 1, 1, 4, 4, 4, 7, 7, 7, 10}},
    };
    for (const Case& c : cases) {
        SetUp();
        collector(1, kKindSingle, 10);
        t->SpotDmx[1] = 1;
        t->SpotGroups[1] = uint8_t(c.groups);
        recount();
        std::vector<int> got;
        for (int j = 1; j <= 10; ++j) got.push_back(jets->SpotDmx[j]);
        EXPECT_EQ(got, c.want) << c.groups << " groups";
    }
}

TEST_F(Expansion, JetCountsAcrossCollectors) {
    collector(1, kKindRing, 3);
    collector(2, kKindOff, 9);
    collector(3, kKindLine, 0);      // no nozzles: nothing
    collector(4, kKindSingle, 5);
    t->Enabled[4] = 0;               // not expanded
    collector(5, kKindHouse, 4);
    collector(6, 11, 7);             // an object type adds no jets
    recount();
    EXPECT_EQ(jets->JetCount, 8);
    EXPECT_EQ(jets->Kind[3], kKindRing);
    EXPECT_EQ(jets->Kind[4], kKindHouse);
    EXPECT_EQ(jets->Kind[7], kKindHouse);

    SetUp();
    recount();
    EXPECT_EQ(jets->JetCount, 0);    // nothing enabled: the counter never moves to 1
}

TEST_F(Expansion, MoreThanAThousandJetsStopAtTheTable) {
    for (int c = 1; c <= 5; ++c) {
        collector(c, kKindRing, c < 5 ? 240 : 100);
        t->SpotDmx[c] = 1;
        t->SpotGroups[c] = 250;
        t->ValveDmx[c] = 1;
    }
    jets->Kind[0] = 77;   // index 0 is never filled
    recount();
    EXPECT_EQ(jets->JetCount, 1001);
    EXPECT_EQ(jets->Kind[1000], kKindRing);
    EXPECT_EQ(jets->Kind[0], 77);
    // The fifth collector added its first 40 jets only, each with its own light group.
    EXPECT_EQ(jets->SpotDmx[1000], 1 + 3 * 39);
    EXPECT_EQ(jets->ValveDmx[1000], 1 + 39);
}

TEST(LayoutModel, PresetLayout) {
    auto t = std::make_unique<CollectorTable>();
    ResetCollectorTable(*t);
    FillPresetLayout(*t);
    EXPECT_EQ(t->Kind[1], kKindLine);
    EXPECT_EQ(t->Kind[29], kKindLine);
    EXPECT_EQ(t->Kind[30], kKindOff);
    EXPECT_EQ(t->PumpDmx[29], 145);
    EXPECT_EQ(t->SpotDmx[29], 85);
    EXPECT_NEAR(t->X[1], 2.25 * std::sin(-22.5 * M_PI / 180), 1e-6);
    EXPECT_EQ(t->Name[1][0], 0);
    auto jets = std::make_unique<JetTable>();
    ResetJetTable(*jets);
    RecountJets(*t, *jets);
    EXPECT_EQ(jets->JetCount, 29 * 5 + 1);
}

}  // namespace
