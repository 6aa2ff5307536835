#include "framework/widgets/ProjectFrameMDIMain.h"
#include "framework/widgets/ProjectTemplateBase.h"

#include <gtest/gtest.h>

namespace {

struct PlacementCase {
    const char* position;
    const char* size;
    const char* screen;
    const char* maximize;
    bool ok;
    RECT expected;
    UINT show;
};

} // namespace

TEST(ProjectFrameMDIMain, StoredPlacementIsReadAndKeptOnScreen)
{
    const RECT current{10, 20, 410, 320};
    const SIZE work{1280, 800};
    const PlacementCase cases[] = {
        // Same screen: used as stored even partly off screen.
        {"1200,700", "300,200", "1280,800", "0", true, {1200, 700, 1500, 900}, SW_SHOWNORMAL},
        // Written on a larger screen: moved left and up so that it ends at the edges, size kept.
        {"1200,700", "300,200", "1920,1080", "0", true, {980, 600, 1280, 800}, SW_SHOWNORMAL},
        // Larger than the work area: the left and top edges win (0,0), size kept.
        {"100,50", "1500,900", "1920,1080", "1", true, {0, 0, 1500, 900}, SW_SHOWMAXIMIZED},
        // Negative corner from another screen: moved right and down.
        {"-50,-30", "300,200", "1024,768", "", true, {0, 0, 300, 200}, SW_SHOWNORMAL},
        // No position: the current corner stays.
        {"", "300,200", "", "", true, {10, 20, 310, 220}, SW_SHOWNORMAL},
        // Numbers no screen has (a damaged settings file): the corner and the
        // size are clamped to 65536 before the window is moved on screen.
        {"2147483000,0", "100000,100", "1,1", "0", true, {0, 0, 65536, 100}, SW_SHOWNORMAL},
        {"-2147483648,-2147483648", "2147483647,-5", "1,1", "", true, {0, 0, 65536, 0}, SW_SHOWNORMAL},
        {"2147483647,2147483647", "2147483647,2147483647", "", "", true, {65536, 65536, 131072, 131072},
         SW_SHOWNORMAL},
        // Malformed entries make the whole placement be ignored.
        {"10;20", "300,200", "", "", false, {}, 0},
        {"10,20", "", "", "", false, {}, 0},
        {"10,20", "300,200", "big", "", false, {}, 0},
        {"10,20", "300,200", "", "yes", false, {}, 0},
    };
    for (const PlacementCase& c : cases) {
        WINDOWPLACEMENT wp;
        bool ok = CProjectFrameMDIMain::ParsePlacement(c.position, c.size, c.screen, c.maximize, current, work, wp);
        SCOPED_TRACE(std::string(c.position) + " " + c.size + " " + c.screen);
        ASSERT_EQ(ok, c.ok);
        if (!ok)
            continue;
        EXPECT_EQ(wp.rcNormalPosition, c.expected);
        EXPECT_EQ(wp.showCmd, c.show);
    }
}

TEST(ProjectTemplateBase, DocumentStringsAreTheNewlineFields)
{
    CProjectTemplateBase tmpl(129,
                              "Marlox\nUntitled\nWorkspace\nMarlox Workspace Files\n.MXF\nMarlox.Workspace.4\nMarlox 4.0 Workspace",
                              nullptr, nullptr);
    EXPECT_EQ(tmpl.GetDocString(CProjectTemplateBase::docName), "Untitled");
    EXPECT_EQ(tmpl.GetDocString(CProjectTemplateBase::filterExt), ".MXF");
    EXPECT_EQ(tmpl.GetDocString(CProjectTemplateBase::regFileTypeName), "Marlox 4.0 Workspace");
    // Without a document factory nothing is opened, and nothing is held.
    EXPECT_EQ(tmpl.GetDocument(), nullptr);
}
