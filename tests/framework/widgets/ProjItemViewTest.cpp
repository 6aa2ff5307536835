#include "framework/widgets/ProjItemView.h"

#include "framework/ProjectDocBase.h"
#include "framework/ProjectItemBase.h"
#include "framework/widgets/ProjectFrameBase.h"
#include "platform/widgets/CommandIds.h"

#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

class PagesView : public CProjItemView {
public:
    int pages = 3;
    std::vector<std::pair<int, QRect>> drawn;

protected:
    int GetPageCount() const override { return pages; }
    void OnDraw(QPainter&, const QRect& area, int page) override { drawn.emplace_back(page, area); }
};

class ViewFrame : public CProjectFrameBase {
public:
    PagesView* view = nullptr;

protected:
    QWidget* CreateView() override { return view = new PagesView; }
};

class PlainItem : public CProjectItemBase {};

TEST(ProjItemView, PrintsEveryPageInsideTheItemsMarginsAndInItsOrientation)
{
    CProjectDocBase doc;
    PlainItem item;
    item.m_rcMargins = RECT{500, 750, 1000, 1250};
    item.m_nOrientation = 2;
    doc.m_pItemBeingOpened = &item;
    ViewFrame frame;
    frame.CreateClient(&doc, nullptr);
    doc.m_pItemBeingOpened = nullptr;
    ASSERT_EQ(frame.view->GetItem(), &item);

    QPrinter printer(QPrinter::HighResolution);
    ASSERT_TRUE(frame.view->OnPreparePrinting(printer));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);

    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath("view.pdf"));
    pdf.setPageSize(QPageSize(QPageSize::Letter));  // 8.5 x 11 inches
    pdf.setPageOrientation(QPageLayout::Portrait);
    EXPECT_EQ(frame.view->PrintTo(pdf), 3);
    ASSERT_EQ(frame.view->drawn.size(), 3u);
    EXPECT_EQ(frame.view->drawn[2].first, 3);
    // Letter is 8500 x 11000 thousandths; the area runs from the left and top
    // margins to the paper less the right and bottom margins.
    EXPECT_EQ(frame.view->drawn[0].second, QRect(QPoint(500, 750), QPoint(8500 - 1000 - 1, 11000 - 1250 - 1)));
    frame.Detach();
}

TEST(ProjItemView, WithoutAnItemNothingIsOffered)
{
    PagesView view;
    QPrinter printer;
    EXPECT_FALSE(view.OnPreparePrinting(printer));
    for (UINT id : {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PAGE_SETUP}) {
        CCmdUI ui(id);
        EXPECT_TRUE(view.OnCmdMsg(id, &ui));
        EXPECT_FALSE(ui.m_enabled.value_or(true));
    }
}

} // namespace
