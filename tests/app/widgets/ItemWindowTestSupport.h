// What the tests of the item forms share: the program started with a
// recording reporter, commands run through the main window's route, pages
// selected, and a count of the change notices that reach the views.
#pragma once

#include "app/MXDoc.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXMainWnd.h"
#include "framework/UpdateNotification.h"
#include "support/TestSupport.h"
#include "ui/widgets/TabFormView.h"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// Runs what the windows posted (keys passed on by editors, deferred deletes).
inline void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The change notices that reach the views, by kind.
class NoticeCounter : public CDocView {
public:
    void OnUpdate(CDocView*, int hint, CObject* object) override
    {
        if (auto* note = dynamic_cast<CUpdateNotification*>(object); hint == UPDATE_HINT_NOTIFICATION && note)
            kinds.push_back(note->kind);
    }
    int Count(int kind) const { return int(std::count(kinds.begin(), kinds.end(), kind)); }
    std::vector<int> kinds;
};

class ItemWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<CMXApp>();
        ASSERT_TRUE(app->InitInstance({"marlox"}));
        reporter = std::make_unique<RecordingReporter>();
        main = app->GetMainFrame();
        main->activateWindow();
        QApplication::setActiveWindow(main);
        Settle();
        doc()->AddView(&notices);
    }
    void TearDown() override
    {
        if (!app)
            return;
        doc()->RemoveView(&notices);
        doc()->SetModifiedFlag(false);
        reporter.reset();
        app->ExitInstance();
        app.reset();
    }
    CMXDoc* doc() const { return dynamic_cast<CMXDoc*>(app->GetProjectDoc()); }
    bool Run(UINT id)
    {
        main->GetRouter().UpdateAll();
        const bool ran = main->GetRouter().Execute(id);
        Settle();
        main->GetRouter().UpdateAll();
        return ran;
    }
    bool Enabled(UINT id) const { return main->GetRouter().Query(id).m_enabled.value_or(false); }
    // The page of a form's tab, after the tab was chosen.
    template <class Page>
    Page* Tab(CTabFormView* form, int index)
    {
        form->SelectTab(index);
        Settle();
        return dynamic_cast<Page*>(form->GetTabView(index));
    }
    // The item state pane, as the status bar shows it.
    std::string Pane() const
    {
        main->GetRouter().UpdateAll();
        return main->GetStatePane()->isVisible() ? main->GetStatePane()->text().toStdString() : "";
    }

    std::unique_ptr<CMXApp> app;
    std::unique_ptr<RecordingReporter> reporter;
    CMXMainWnd* main = nullptr;
    NoticeCounter notices;
};
