// A drawing view on a page of a document, shown offscreen, with its own undo
// list, and mouse helpers in page units.
#pragma once

#include "draw/DrawData.h"
#include "draw/widgets/DrawTool.h"
#include "draw/widgets/DrawView.h"
#include "framework/ActionList.h"
#include "framework/ProjectDocBase.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

class TestDrawView : public CDrawView {
public:
    TestDrawView(CDrawData* page, CActionList* actions) : m_page(page), m_actions(actions) {}
    CDrawData* GetDrawData() const override { return m_page; }
    CActionList* GetActionList() const override { return m_actions; }
    void RunPropertySheet(const std::string& title, int mask) override { sheets.emplace_back(title, mask); }
    std::vector<std::pair<std::string, int>> sheets;

private:
    CDrawData* m_page;
    CActionList* m_actions;
};

struct ViewFixture {
    ViewFixture()
    {
        CShapeTool::ResetToSelect();
        page.SetDocument(&doc);
        page.InitPageSetup();
        page.m_bGridLines = 0;
        view = std::make_unique<TestDrawView>(&page, &actions);
        doc.AddView(view.get());
        view->resize(800, 600);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        view->SetZoom(100);
        // Page point (0, 0), the corner inside the margins, near the window's corner.
        view->ScrollToViewPosition({4900, 4900}, false);
    }
    ~ViewFixture()
    {
        doc.RemoveView(view.get());
        view.reset();
        CShapeTool::ResetToSelect();
    }
    QWidget* Port() const { return view->viewport(); }
    QPoint At(POINT p) const { return view->DocToClient(p); }
    void Press(POINT p, Qt::KeyboardModifiers keys = {}) { QTest::mousePress(Port(), Qt::LeftButton, keys, At(p)); }
    void Release(POINT p, Qt::KeyboardModifiers keys = {}) { QTest::mouseRelease(Port(), Qt::LeftButton, keys, At(p)); }
    void Move(POINT p, Qt::KeyboardModifiers keys = {}, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(At(p)), Port()->mapToGlobal(QPointF(At(p))), Qt::NoButton, buttons,
                         keys);
        QApplication::sendEvent(Port(), &move);
    }
    void Drag(POINT from, POINT to, Qt::KeyboardModifiers keys = {})
    {
        Press(from, keys);
        Move({(from.x + to.x) / 2, (from.y + to.y) / 2}, keys);
        Move(to, keys);
        Release(to, keys);
    }
    void Command(UINT id) { view->OnCmdMsg(id, nullptr); }
    CCmdUI Query(UINT id)
    {
        CCmdUI ui(id);
        view->OnCmdMsg(id, &ui);
        return ui;
    }

    CProjectDocBase doc;
    CDrawData page;
    CActionList actions;
    std::unique_ptr<TestDrawView> view;
};
