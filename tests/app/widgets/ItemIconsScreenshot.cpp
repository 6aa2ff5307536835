// Saves a picture of the workspace list with an item of every kind, two of
// them open, above the Standard toolbar (run under a display, with a
// settings folder of its own in MARLOX_CONFIG_DIR):
//   item_icons_screenshot out.png
#include "app/MXDoc.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXMainWnd.h"
#include "framework/widgets/ListViewBar.h"
#include "platform/widgets/CommandIds.h"
#include "ui/widgets/StandardToolBar.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s out.png\n", argv[0]);
        return 2;
    }
    QApplication qapp(argc, argv);
    CMXApp app;
    if (!app.InitInstance({"marlox"}))
        return 1;
    CMXMainWnd* main = app.GetMainFrame();
    main->resize(1100, 1000);
    CCommandRouter& router = main->GetRouter();
    for (UINT id : {ID_ADD_DATA, ID_ADD_EQUATION, ID_ADD_HARD_EQUATION, ID_ADD_TRANSFORM, ID_ADD_LINEAR,
                    ID_ADD_NONLINEAR, ID_ADD_GRAPH, ID_ADD_NOTEPAD}) {
        router.UpdateAll();
        router.Execute(id);
    }
    router.UpdateAll();
    router.Execute(ID_WINDOW_CLOSE_ALL);
    // The table and the graph open: their icons take the open form.
    CListViewBar* bar = app.GetListViewBar();
    CItemListCtrl* list = app.GetProjectDoc()->GetItemListCtrl();
    bar->SetWidthMode(2);
    for (int row : {0, 6}) {
        list->ClearSelection();
        list->SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        bar->FocusList();
        router.UpdateAll();
        router.Execute(ID_ITEM_OPEN);
    }
    list->ClearSelection();
    int status = 0;
    QTimer::singleShot(800, [&] {
        router.UpdateAll();
        const QPixmap tools = main->GetStandardBar()->grab();
        // Down to a little below the last row.
        QListView* view = bar->GetListCtrl();
        const QRect last = view->visualRect(view->model()->index(list->GetItemCount() - 1, 0));
        const int bottom = view->mapTo(bar, last.bottomLeft()).y() + 16;
        const QPixmap items = bar->grab(QRect(0, 0, bar->width(), std::min(bar->height(), bottom)));
        QPixmap sheet(std::max(tools.width(), items.width()), tools.height() + items.height());
        sheet.fill(main->palette().color(QPalette::Window));
        QPainter painter(&sheet);
        painter.drawPixmap(0, 0, tools);
        painter.drawPixmap(0, tools.height(), items);
        painter.end();
        if (!sheet.save(QString::fromLocal8Bit(argv[1])))
            status = 1;
        if (CProjectDocBase* doc = app.GetProjectDoc())
            doc->SetModifiedFlag(false);
        qapp.quit();
    });
    qapp.exec();
    app.ExitInstance();
    return status;
}
