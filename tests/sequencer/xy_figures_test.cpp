#include "sequencer/xy_figures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace spirelo {
namespace {

class XYFigures : public ::testing::Test {
protected:
    void SetUp() override {
        data = MakeShowData();
        p.Q = 3;
        p.X = 20;
        std::memset(data->SequencerStepData[p.Q], 0, sizeof data->SequencerStepData[p.Q]);
    }
    std::vector<int> ChangedSteps() {
        std::vector<int> v;
        for (int s = 0; s < kSequencerSteps; ++s)
            for (int c = 0; c < kChannels; ++c)
                if (data->SequencerStepData[p.Q][s][c] != before[s][c]) {
                    v.push_back(s);
                    break;
                }
        return v;
    }
    void Snapshot() { std::memcpy(before, data->SequencerStepData[p.Q], sizeof before); }
    std::unique_ptr<ShowData> data;
    XYParams p;
    uint8_t before[kSequencerSteps][kChannels];
};

TEST(XYSinus, PointsOfTheDocumentedAngles) {
    const std::vector<std::pair<int, std::pair<int, int>>> table = {
        {0, {127, 227}}, {45, {198, 198}}, {60, {214, 177}},  {90, {227, 127}},
        {120, {214, 78}}, {180, {127, 28}}, {225, {58, 58}}, {300, {42, 177}},
    };
    for (const auto& [a, xy] : table) {
        const XYPoint pt = Sinus(a, 200);
        EXPECT_EQ(pt.x, xy.first) << a;
        EXPECT_EQ(pt.y, xy.second) << a;
    }
    EXPECT_EQ(Sinus(90, 255).x, 255);
    EXPECT_EQ(Sinus(270, 255).x, 1);   // -127.5 rounds up to -127
}

TEST_F(XYFigures, CircleStepsByElevenDegrees) {
    p.F = 1, p.T = 32, p.W = 7, p.S = 200;
    ASSERT_TRUE(MakeFigure(*data, p, XYFigure::Circle));
    for (int s = 0; s < 32; ++s) {
        const XYPoint want = Sinus(11 * s, 200);
        EXPECT_EQ(ReadPoint(*data, p, s).x, want.x) << s;
        EXPECT_EQ(ReadPoint(*data, p, s).y, want.y) << s;
    }
    EXPECT_EQ(data->SequencerStepData[p.Q][32][20], 0);
}

TEST_F(XYFigures, EveryFigureStaysInsideItsSteps) {
    // Rectangle, cross and triangle reach past the last step for small ranges without the clip.
    for (XYFigure f : {XYFigure::Line, XYFigure::Triangle, XYFigure::Rect, XYFigure::Cross,
                       XYFigure::Snake, XYFigure::Circle, XYFigure::Eight, XYFigure::FourLeaf,
                       XYFigure::Spiral})
        for (int n : {0, 1, 2, 5, 13}) {
            std::memset(data->SequencerStepData[p.Q], 0, sizeof before);
            Snapshot();
            p.F = 10, p.T = 10 + n;
            const bool made = MakeFigure(*data, p, f);
            for (int s : ChangedSteps()) EXPECT_TRUE(s >= 9 && s <= 9 + n) << int(f) << " n " << n << " s " << s;
            for (int s = 0; s < kSequencerSteps; ++s)
                for (int c = 0; c < kChannels; ++c)
                    if (c != 20 && c != 21) {
                        ASSERT_EQ(data->SequencerStepData[p.Q][s][c], 0);
                    }
            const bool dividesByN = f >= XYFigure::Snake;
            EXPECT_EQ(made, !(dividesByN && n == 0)) << int(f) << " n " << n;
            if (!made) {
                EXPECT_TRUE(ChangedSteps().empty());
            }
        }
    p.F = 10, p.T = 11;
    Snapshot();
    data->SequencerStepData[p.Q][9][20] = 1;   // so step 9 differs whatever the figure writes
    Snapshot();
    MakeFigure(*data, p, XYFigure::Rect);
    EXPECT_EQ(ChangedSteps(), (std::vector<int>{9, 10}));
}

TEST_F(XYFigures, LastSceneRaisedToTheFirstRefusesTheCircle) {
    p.F = 40, p.T = 40;
    Snapshot();
    EXPECT_FALSE(MakeFigure(*data, p, XYFigure::Circle));
    EXPECT_TRUE(ChangedSteps().empty());
    p.T = 39;
    EXPECT_FALSE(MakeFigure(*data, p, XYFigure::Line));
    EXPECT_TRUE(ChangedSteps().empty());
}

TEST_F(XYFigures, PointOperationsAndMirrors) {
    p.F = 1, p.T = 8;
    const int xs[] = {0, 1, 127, 128, 200, 254, 255, 60};
    for (int s = 0; s < 8; ++s) WritePoint(*data, p, s, xs[s], 255 - xs[s]);
    Snapshot();
    ApplyPointOperation(*data, p, 5);
    ApplyPointOperation(*data, p, 6);
    ApplyPointOperation(*data, p, 6);
    ApplyPointOperation(*data, p, 5);
    EXPECT_TRUE(ChangedSteps().empty());

    ApplyPointOperation(*data, p, 7);
    const int smaller[] = {0, 2, 127, 127, 199, 253, 255, 61};
    for (int s = 0; s < 8; ++s) EXPECT_EQ(ReadPoint(*data, p, s).x, smaller[s]) << s;
    std::memcpy(data->SequencerStepData[p.Q], before, sizeof before);
    ApplyPointOperation(*data, p, 8);
    const int larger[] = {0, 0, 126, 129, 201, 255, 255, 59};
    for (int s = 0; s < 8; ++s) EXPECT_EQ(ReadPoint(*data, p, s).x, larger[s]) << s;

    std::memcpy(data->SequencerStepData[p.Q], before, sizeof before);
    ApplyPointOperation(*data, p, 1);
    ApplyPointOperation(*data, p, 4);
    EXPECT_EQ(ReadPoint(*data, p, 0).x, 1);
    EXPECT_EQ(ReadPoint(*data, p, 6).x, 255);
    EXPECT_EQ(ReadPoint(*data, p, 0).y, 254);
    EXPECT_EQ(ReadPoint(*data, p, 6).y, 0);
}

TEST_F(XYFigures, CopyWritesOnlyCheckedPairs) {
    p.F = 2, p.T = 4;
    for (int s = 1; s <= 3; ++s) WritePoint(*data, p, s, s, 10 * s);
    Snapshot();
    CopyPairs(*data, p, {100, 200, 300}, {false, true, false});
    for (int s = 0; s < kSequencerSteps; ++s) {
        const uint8_t* lv = data->SequencerStepData[p.Q][s];
        for (int c = 0; c < kChannels; ++c) {
            const bool target = (c == 200 || c == 201) && s >= 1 && s <= 3;
            if (!target) {
                ASSERT_EQ(lv[c], before[s][c]) << s << " " << c;
            }
        }
        if (s >= 1 && s <= 3) {
            EXPECT_EQ(lv[200], s);
            EXPECT_EQ(lv[201], 10 * s);
        }
    }
}

TEST_F(XYFigures, RotationByAFullTurnKeepsTheCircle) {
    p.F = 1, p.T = 9, p.W = 7, p.S = 200, p.D = 90;
    MakeFigure(*data, p, XYFigure::Circle);
    const XYPoint first = ReadPoint(*data, p, 0);   // angle 0: straight up
    RotateFigure(*data, p);
    const XYPoint turned = ReadPoint(*data, p, 0);  // a quarter turn clockwise: to the right
    EXPECT_GT(turned.x, 200);
    EXPECT_NEAR(turned.y, 128, 2);
    EXPECT_EQ(first.x, 127);
}

TEST(XYTexts, Labels) {
    EXPECT_EQ(RotationText(45), "Вправо 45");
    EXPECT_EQ(RotationText(180), "Влево 180");
    EXPECT_EQ(RotationText(300), "Влево 60");
    EXPECT_EQ(FigureText(200, 7), " Размер фигуры 200       Опция 7");
    EXPECT_EQ(ChannelLabelText(0), "Ch1  ");
}

}  // namespace
}  // namespace spirelo
