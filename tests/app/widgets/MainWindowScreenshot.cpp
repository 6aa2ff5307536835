// Starts the program on a workspace, adds items of several kinds, opens a
// notepad and saves a picture of the main window (run under a display, with a
// settings folder of its own in MARLOX_CONFIG_DIR):
//   main_window_screenshot workspace.mxf out.png
#include "app/MXDoc.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXMainWnd.h"
#include "framework/widgets/ListViewBar.h"
#include "platform/widgets/CommandIds.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s workspace.mxf out.png\n", argv[0]);
        return 2;
    }
    QApplication qapp(argc, argv);
    CMXApp app;
    if (!app.InitInstance({"marlox", QString::fromLocal8Bit(argv[1])}))
        return 1;
    CMXMainWnd* main = app.GetMainFrame();
    main->resize(1180, 760);
    CCommandRouter& router = main->GetRouter();
    for (UINT id : {ID_ADD_EQUATION, ID_ADD_TRANSFORM, ID_ADD_HARD_EQUATION}) {
        router.UpdateAll();
        router.Execute(id);
    }
    CItemListCtrl* list = app.GetProjectDoc()->GetItemListCtrl();
    list->ClearSelection();
    list->SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    // Open is the list's command: it answers while it has the focus.
    app.GetListViewBar()->FocusList();
    router.UpdateAll();
    router.Execute(ID_ITEM_OPEN);
    int status = 0;
    QTimer::singleShot(800, [&] {
        router.UpdateAll();
        if (!main->grab().save(QString::fromLocal8Bit(argv[2])))
            status = 1;
        if (CProjectDocBase* doc = app.GetProjectDoc())
            doc->SetModifiedFlag(false);
        qapp.quit();
    });
    qapp.exec();
    app.ExitInstance();
    return status;
}
