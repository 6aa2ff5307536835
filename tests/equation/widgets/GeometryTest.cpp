#include "equation/widgets/Geometry.h"
#include "ui/widgets/TabFormView.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct SpecCase {
    const char* text;
    unsigned flags;
    float x, y, cx, cy;
};

void PrintTo(const SpecCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class GeometrySpecTest : public ::testing::TestWithParam<SpecCase> {};

} // namespace

TEST_P(GeometrySpecTest, Parses)
{
    const SpecCase& c = GetParam();
    const CGeometrySpec rules = ParseGeometrySpec(c.text);
    EXPECT_EQ(rules.flags, c.flags) << c.text;
    EXPECT_FLOAT_EQ(rules.x, c.x) << c.text;
    EXPECT_FLOAT_EQ(rules.y, c.y) << c.text;
    EXPECT_FLOAT_EQ(rules.cx, c.cx) << c.text;
    EXPECT_FLOAT_EQ(rules.cy, c.cy) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Markers, GeometrySpecTest, ::testing::Values(
    SpecCase{"CX+CY", 0x0003, 0, 0, 1, 1},
    SpecCase{"X[0.5]", 0x0004, 0.5f, 0, 0, 0},         // "0.5]" reads as 0.5
    SpecCase{"CX[0.25]+Y", 0x0009, 0, 1, 0.25f, 0},
    SpecCase{"X[abc]", 0x0004, 0, 0, 0, 0},            // no number: factor 0
    SpecCase{"x+CX", 0x0010, 0, 0, 1, 0},              // centring wins over growing
    SpecCase{"y+Y", 0x0020, 0, 1, 0, 0},
    SpecCase{"MX+x", 0x0404, 1, 0, 0, 0},              // proportional placement wins over centring
    SpecCase{"MX", 0x0404, 1, 0, 0, 0},
    SpecCase{"X+MY", 0x0C0C, 1, 1, 0, 0},              // M gives earlier tokens their twins too
    SpecCase{"MCX", 0x0101, 0, 0, 1, 0},
    SpecCase{"CZ+X", 0x0000, 0, 0, 0, 0},              // parsing stops at CZ
    SpecCase{"X+CZ+x", 0x0004, 1, 0, 0, 0},            // ... and the closing rules do not apply
    SpecCase{"++X++", 0x0004, 1, 0, 0, 0},             // empty tokens are skipped
    SpecCase{" X", 0x0000, 0, 0, 0, 0},                // spaces are not trimmed
    SpecCase{"Q+X", 0x0004, 1, 0, 0, 0}));             // unknown tokens are ignored

TEST(GeometryLayout, ControlsMoveGrowCentreAndScale)
{
    const QSize design(200, 100);
    auto place = [&](const char* text, QRect rect, QSize client) {
        CGeometryControl c;
        c.design = rect;
        c.rules = ParseGeometrySpec(text);
        return LayOutControl(c, design, client);
    };
    const QRect r(10, 20, 50, 30);
    // The full change in both directions grows the control in place.
    EXPECT_EQ(place("CX+CY", r, {260, 140}), QRect(10, 20, 110, 70));
    EXPECT_EQ(place("X[0.5]", r, {260, 100}), QRect(40, 20, 50, 30));
    // A change of 3 pixels centres by 1.
    EXPECT_EQ(place("x", r, {203, 100}), QRect(11, 20, 50, 30));
    // Proportional width 50 * 400 / 200, and M keeps the full growth beside it.
    EXPECT_EQ(place("MCX", r, {400, 100}), QRect(10, 20, 100 + 200, 30));
    EXPECT_EQ(place("MX", r, {400, 100}), QRect(20 + 200, 20, 50, 30)); // proportional, then the full shift
    // Smaller than the design: trunc(-3 x 0.5) = -1, then clamped to the design place.
    EXPECT_EQ(place("X[0.5]", r, {197, 100}), r);
    EXPECT_EQ(place("CX+CY", r, {100, 50}), r);
}

namespace {

// A page with markers over some of its controls.
class MarkedPage : public CTabFormChildView {
public:
    MarkedPage() : CTabFormChildView(3000)
    {
        resize(200, 100);
        grow = Control(new QLineEdit(this), 1, QRect(10, 10, 50, 20));
        move = Control(new QLineEdit(this), 2, QRect(150, 70, 40, 20));
        both = Control(new QLineEdit(this), 3, QRect(150, 10, 40, 20));
        loose = Control(new QLineEdit(this), 4, QRect(80, 40, 40, 20));
        button = Control(new QPushButton("$Geometry:CX", this), 5, QRect(0, 0, 200, 100));
        button->hide(); // a push button is never a marker
        Marker(new QGroupBox("$Geometry:CX+CY", this), QRect(0, 0, 100, 50));
        Marker(new QCheckBox("$Geometry:X+Y", this), QRect(140, 0, 60, 100));
        Marker(new QGroupBox("$Geometry:X[0.5]", this), QRect(140, 0, 60, 40)); // later: wins for "both"
        auto* shown = new QGroupBox("$Geometry:CX+CY", this);                  // visible: not a marker
        shown->setGeometry(70, 30, 60, 40);
    }
    QWidget* Control(QWidget* w, int id, QRect r)
    {
        SetControlId(w, id);
        w->setGeometry(r);
        return w;
    }
    void Marker(QWidget* w, QRect r)
    {
        w->setGeometry(r);
        w->hide();
    }
    QWidget *grow, *move, *both, *loose, *button;
};

} // namespace

TEST(GeometryLayout, MarkersDecideWhichControlsFollowThePage)
{
    CGeometry<MarkedPage> page;
    page.show();
    page.InitialUpdate();
    CGeometryLayout& g = page.GetGeometry();
    ASSERT_EQ(g.GetControls().size(), 3u);
    EXPECT_EQ(g.GetDesignClient(), QRect(0, 0, 200, 100));

    page.resize(260, 140);
    EXPECT_EQ(page.grow->geometry(), QRect(10, 10, 110, 60));
    EXPECT_EQ(page.move->geometry(), QRect(210, 110, 40, 20));
    EXPECT_EQ(page.both->geometry(), QRect(180, 10, 40, 20)); // the later marker: half the width change
    EXPECT_EQ(page.loose->geometry(), QRect(80, 40, 40, 20));

    // Back inside the design size: laid out once more, at the design places.
    page.resize(180, 90);
    EXPECT_EQ(page.grow->geometry(), QRect(10, 10, 50, 20));
    EXPECT_EQ(page.move->geometry(), QRect(150, 70, 40, 20));
    // While the page stays inside its design size nothing moves.
    page.grow->setGeometry(12, 12, 50, 20);
    page.resize(170, 80);
    EXPECT_EQ(page.grow->geometry(), QRect(12, 12, 50, 20));

    page.RemoveControlSpec(1);
    EXPECT_EQ(g.GetControls().size(), 2u);
    page.RemoveControlSpec(99); // no record: nothing happens
    EXPECT_EQ(g.GetControls().size(), 2u);
}

TEST(GeometryLayout, APageWithoutMarkersKeepsItsControls)
{
    CGeometry<CTabFormChildView> page(3000);
    auto* edit = new QLineEdit(&page);
    edit->setGeometry(5, 5, 60, 20);
    page.resize(100, 50);
    page.show();
    page.InitialUpdate();
    page.resize(400, 300);
    EXPECT_TRUE(page.GetGeometry().GetControls().empty());
    EXPECT_EQ(edit->geometry(), QRect(5, 5, 60, 20));
}
