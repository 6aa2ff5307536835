#include "ui/widgets/StandardToolBar.h"

#include <QLineEdit>

#include <gtest/gtest.h>

TEST(ZoomComboBox, TypedTextBecomesABoundedPercentage)
{
    const struct {
        const char* text;
        int zoom;
    } cases[] = {
        {"1000", 600}, // above the largest zoom
        {"600", 600},  {"80 %", 80}, {"80%", 80}, {"  80  %  ", 80}, {"\t150", 150},
        {"80x", 100},  // trailing text other than blanks and one "%"
        {"80%%", 100}, {"abc", 100},
        {"2", 5},      // below the smallest zoom
        {"6", 6},      {"", 5},      // empty counts as -1, bounded up
        {"   ", 5},    {"99999999999999", 600},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CZoomComboBox::ZoomFromText(c.text), c.zoom) << '"' << c.text << '"';
}

TEST(ZoomComboBox, CommitShowsTheCanonicalTextAndTellsTheView)
{
    struct View : CZoomView {
        int zoom = 100;
        int GetZoom() const override { return zoom; }
        void SetZoom(int percent) override { zoom = percent; }
    } view;
    CStandardToolBar bar("Standard");
    bar.AddZoomBox();
    bar.SetActiveViewProvider([&view]() -> CZoomView* { return &view; });
    CZoomComboBox* box = bar.ZoomBox();
    box->setEditText("1000");
    emit box->zoomChosen(box->Commit());
    EXPECT_EQ(view.zoom, 600);
    EXPECT_EQ(box->currentText().toStdString(), "600%");
    box->setEditText("50");
    emit box->zoomChosen(box->Commit());
    EXPECT_EQ(box->currentText().toStdString(), "50%");
    EXPECT_EQ(box->currentIndex(), 1); // the list's own "50%"
    view.zoom = 150;
    bar.UpdateZoom();
    EXPECT_EQ(box->currentText().toStdString(), "150%");
}
