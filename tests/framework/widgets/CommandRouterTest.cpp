#include "platform/widgets/CommandIds.h"
#include "platform/widgets/CommandRouter.h"
#include "framework/widgets/ProjectAppBase.h"

#include <QAction>

#include <gtest/gtest.h>

TEST(CommandRouter, FirstTargetThatClaimsACommandRunsIt)
{
    CCmdMap first, second;
    int ranFirst = 0, ranSecond = 0;
    first.On(ID_EDIT_COPY, [&] { ++ranFirst; }, [](CCmdUI& ui) { ui.Enable(false); });
    second.On(ID_EDIT_COPY, [&] { ++ranSecond; });
    second.On(ID_EDIT_CUT, [&] { ++ranSecond; });
    CCommandRouter router;
    router.SetRoute([&] { return std::vector<CCmdTarget*>{&first, &second}; });
    // The first target claims Copy and disables it: the second is never asked.
    EXPECT_FALSE(router.Query(ID_EDIT_COPY).m_enabled.value());
    EXPECT_FALSE(router.Execute(ID_EDIT_COPY));
    EXPECT_EQ(ranFirst + ranSecond, 0);
    EXPECT_TRUE(router.Execute(ID_EDIT_CUT));
    EXPECT_EQ(ranSecond, 1);
    // Nobody claims Paste: disabled.
    EXPECT_FALSE(router.Query(ID_EDIT_PASTE).m_enabled.value());
}

TEST(CommandRouter, UndoAtTheApplicationIsDisabledWithThePlainText)
{
    CProjectAppBase app;
    CCommandRouter router;
    router.SetRoute([&] { return std::vector<CCmdTarget*>{&app}; });
    QAction undo("Undo");
    router.Register(&undo, ID_EDIT_UNDO);
    router.UpdateAll();
    EXPECT_FALSE(undo.isEnabled());
    // The text after the tab is the shortcut, which the menu draws itself.
    EXPECT_EQ(undo.text().toStdString(), "&Undo");
    CCmdUI ui = router.Query(ID_EDIT_UNDO);
    EXPECT_EQ(ui.m_text.value(), "&Undo\tCtrl+Z");
}
