// The results listing: what it says in place of a table, its size from
// measured text (checked against the font's own metrics), its reactions to
// renames, removals and finished fits, and its stored record.
#include "GraphTestSupport.h"
#include "draw/DrawTestSupport.h"

#include "framework/UpdateNotification.h"
#include "graph/DrawResults.h"
#include "graph/GraphFont.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QFontMetricsF>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct ResultsFixture : GraphFixture {
    ResultsFixture()
    {
        fit = &doc.AddFit("Michaelis");
        fit->parameters = {{"Vmax", 212.68, 6.947}, {"Km", 0.06412, 0.008281}};
        listing = new CDrawResults("Michaelis", RECT{0, 0, 100, 100}, &page, 0);
        page.AddObject(listing);
    }
    FakeFit* fit;
    CDrawResults* listing;
};

int Width(const CHARFORMAT& cf, const std::string& s)
{
    const QFontMetricsF m(GraphFont(cf, GraphFontHeight(cf)));
    return int(std::ceil(m.horizontalAdvance(QString::fromStdString(s))));
}

TEST(ResultsListing, SaysWhyThereIsNoTable)
{
    struct Case {
        const char* item;
        int count, status, fitNumber;
        bool calculating;
        UINT message;
    };
    const Case cases[] = {
        {"Nothing", 1, 1, 0, false, IDS_RESULTS_BAD_NAME},
        {"Michaelis", 0, 1, 0, false, IDS_RESULTS_NONE_FITTED},
        {"Michaelis", 1, 1, 3, false, IDS_RESULTS_BAD_FIT},
        {"Michaelis", 1, 0, 0, false, IDS_RESULTS_NOT_FITTED},
        {"Michaelis", 1, 1, 0, true, IDS_RESULTS_CALCULATING},
        {"Michaelis", 1, 2, 0, false, IDS_RESULTS_FAILED},
    };
    for (const Case& c : cases) {
        ResultsFixture f;
        f.fit->count = c.count;
        f.fit->status = c.status;
        f.fit->calculating = c.calculating;
        auto* listing = new CDrawResults(c.item, RECT{0, 0, 100, 100}, &f.page, c.fitNumber);
        f.page.AddObject(listing);
        const CResultsLayout l = listing->Layout();
        EXPECT_EQ(l.message, LoadString(c.message)) << c.message;
        // A message alone is one line high and as wide as itself.
        const RECT r = NormalizedRect(listing->GetPosition());
        EXPECT_EQ(r.bottom - r.top, l.lineHeight);
        EXPECT_EQ(r.right - r.left, Width(f.page.GetDefaultCharFormat(), l.message));
        EXPECT_EQ(r.bottom, 100); // the upper edge stays
        EXPECT_EQ(r.left, 0);
    }
}

// Columns as wide as their widest heading or number; 4 average characters
// between them; a line per parameter and three more.
TEST(ResultsListing, SizeFromTheWidestTexts)
{
    ResultsFixture f;
    const CHARFORMAT cf = f.page.GetDefaultCharFormat();
    const CResultsLayout l = f.listing->Layout();
    ASSERT_TRUE(l.message.empty());
    ASSERT_EQ(l.rows.size(), 2u);
    std::string whole, fraction;
    f.listing->GetNumberFormat().FormatNumberSplitDecimal(whole, fraction, 212.68);
    EXPECT_EQ(whole, "212");
    EXPECT_EQ(fraction.substr(0, 1), ".");
    const QFontMetricsF m(GraphFont(cf, GraphFontHeight(cf)));
    const int c = int(std::ceil(m.averageCharWidth()));
    const int L = int(std::ceil(m.lineSpacing()));
    EXPECT_EQ(l.charWidth, c);
    EXPECT_EQ(l.lineHeight, L);
    const int w1 = std::max(Width(cf, "Parameter"), Width(cf, "Vmax"));
    EXPECT_EQ(l.columnWidth[0], w1);
    EXPECT_EQ(l.valueInt.cx, std::max(Width(cf, l.rows[0].valueInt), Width(cf, l.rows[1].valueInt)));
    EXPECT_EQ(l.valueDec.cx, std::max(Width(cf, l.rows[0].valueDec), Width(cf, l.rows[1].valueDec)));
    EXPECT_EQ(l.columnWidth[1], std::max<int>(Width(cf, "Value"), l.valueInt.cx + l.valueDec.cx));
    EXPECT_EQ(l.ColumnStart(1), w1 + 4 * c);
    EXPECT_EQ(l.ColumnStart(2), w1 + l.columnWidth[1] + 8 * c);
    const RECT r = NormalizedRect(f.listing->GetPosition());
    EXPECT_EQ(r.right - r.left, l.columnWidth[0] + l.columnWidth[1] + l.columnWidth[2] + 8 * c);
    EXPECT_EQ(r.bottom - r.top, 5 * L);
}

TEST(ResultsListing, BoldWidensIt)
{
    ResultsFixture f;
    const RECT before = NormalizedRect(f.listing->GetPosition());
    CHARFORMAT bold;
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    f.listing->SetCharFormat(nullptr, bold);
    const RECT after = NormalizedRect(f.listing->GetPosition());
    EXPECT_GT(after.right - after.left, before.right - before.left);
}

TEST(ResultsListing, DrawsItsTextInTheRectangle)
{
    ResultsFixture f;
    const RECT r = NormalizedRect(f.listing->GetPosition());
    // One image pixel per page unit, the listing's upper left at (0, 100).
    const QImage image = RenderObjects({f.listing}, r.right + 10, 120, 1.0);
    int dark = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (IsDark(image, x, y))
                (x <= r.right && 120 - y >= r.top - 1 && 120 - y <= r.bottom + 1 ? dark : outside)++;
    EXPECT_GT(dark, 50);
    EXPECT_EQ(outside, 0);
}

TEST(ResultsListing, FollowsItsFitItem)
{
    ResultsFixture f;
    f.fit->status = 0;
    f.listing->RecalcSize();
    const int oneLine = NormalizedRect(f.listing->GetPosition()).bottom - NormalizedRect(f.listing->GetPosition()).top;
    // A finished calculation measures again.
    f.fit->status = 1;
    CUpdateNotification done;
    done.kind = UN_CALC_STATE;
    done.item = f.doc.Item("Michaelis");
    f.listing->OnDocumentChange(done);
    EXPECT_EQ(NormalizedRect(f.listing->GetPosition()).bottom - NormalizedRect(f.listing->GetPosition()).top, 5 * oneLine);
    // Renames are followed whatever the case of the old name.
    f.doc.Rename("Michaelis", "MM fit");
    CUpdateNotification renamed;
    renamed.kind = UN_ITEM_RENAMED;
    renamed.oldName = "MICHAELIS";
    renamed.newName = "MM fit";
    f.listing->OnDocumentChange(renamed);
    EXPECT_EQ(f.listing->GetItemName(), "MM fit");
    // The listing goes with its item.
    const std::size_t objects = f.page.GetObjects().size();
    CUpdateNotification removing;
    removing.kind = UN_ITEM_REMOVING;
    removing.oldName = "MM fit";
    f.listing->OnDocumentChange(removing);
    EXPECT_EQ(f.page.GetObjects().size(), objects - 1);
}

// The record after the drawing-object part, field by field.
TEST(ResultsListing, StoredRecord)
{
    ResultsFixture f;
    const Bytes base = StoreBytes([&](CArchive& ar) { f.listing->CDrawObj::Serialize(ar); });
    const CResultsLayout l = f.listing->Layout();
    Golden g;
    g.append(base).i32(1);
    g.append(StoreBytes([&](CArchive& ar) { f.listing->GetNumberFormat().Serialize(ar); }));
    g.append(StoreBytes([&](CArchive& ar) { ArchiveStoreCharFormat(ar, *f.listing->GetCharFormat(nullptr)); }));
    g.u8(9).text("Michaelis").i32(0).i32(1);
    for (const SIZE& s : l.heading)
        g.i32(s.cx).i32(s.cy);
    g.i32(0).i32(0);                       // no message
    g.i32(l.lineHeight).i32(l.charWidth);
    for (const SIZE& s : {l.valueInt, l.valueDec, l.errorInt, l.errorDec})
        g.i32(s.cx).i32(s.cy);
    const Bytes bytes = StoreBytes([&](CArchive& ar) { f.listing->Serialize(ar); });
    EXPECT_EQ(ToHex(bytes), ToHex(g.bytes));

    CDrawResults back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_EQ(back.GetItemName(), "Michaelis");
    EXPECT_EQ(ToHex(StoreBytes([&](CArchive& ar) { back.Serialize(ar); })), ToHex(bytes));

    // A version-0 record ends after the fit number and is measured again.
    Bytes old(bytes.begin(), bytes.begin() + std::ptrdiff_t(g.bytes.size() - 4 - 4 * 8 - 2 * 4 - 4 * 8));
    old[base.size()] = 0;
    CDrawResults older;
    EXPECT_EQ(LoadBytes(old, [&](CArchive& ar) { older.Serialize(ar); }), 0u);
    EXPECT_EQ(older.GetItemName(), "Michaelis");
}

} // namespace
