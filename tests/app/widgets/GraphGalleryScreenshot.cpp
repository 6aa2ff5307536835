// Opens the sample workspace, runs Graph > New Graph in a graph window and
// saves pictures of the gallery and of the XY wizard's first page with the
// sample's table chosen, as the program shows them:
//   graph_gallery_screenshot Sample.mxf docs/graph-gallery.png docs/graph-wizard-source.png
#include "app/MXDoc.h"
#include "app/widgets/GraphProjectWnd.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXMainWnd.h"
#include "draw/widgets/DrawCommands.h"
#include "graphui/widgets/XYWizard.h"
#include "platform/widgets/CommandIds.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPixmap>

int main(int argc, char** argv)
{
    QApplication qt(argc, argv);
    if (argc < 4)
        return 2;
    CMXApp app;
    if (!app.InitInstance({"marlox", QString::fromLocal8Bit(argv[1])}))
        return 1;
    CMXMainWnd* main = app.GetMainFrame();
    main->GetRouter().Execute(ID_ADD_GRAPH);
    QApplication::processEvents();
    auto* frame = dynamic_cast<CGraphProjectWnd*>(main->GetActiveItemFrame());
    if (!frame || !frame->GetGraphView())
        return 1;
    bool saved = true;
    auto shoot = [&](QDialog& dialog, const char* path) {
        dialog.show();
        QApplication::processEvents();
        saved = dialog.grab().save(QString::fromLocal8Bit(path)) && saved;
        dialog.hide();
    };
    CGraphView::SetDialogRunner([&](QDialog& dialog) {
        if (auto* gallery = dynamic_cast<CSelectGraphTypeDlg*>(&dialog)) {
            gallery->List()->setCurrentRow(0);
            shoot(dialog, argv[2]);
            gallery->OnCreate();
            return gallery->result();
        }
        if (auto* wizard = dynamic_cast<CXYWizardSheet*>(&dialog)) {
            QComboBox* source = wizard->m_data.m_source;
            source->setCurrentIndex(source->findText("Initial rates"));
            wizard->m_data.m_x->setCurrentIndex(0);
            wizard->m_data.m_y->setCurrentIndex(1);
            shoot(dialog, argv[3]);
        }
        return int(QDialog::Rejected);
    });
    main->GetRouter().Execute(ID_GRAPH_NEW);
    CGraphView::SetDialogRunner({});
    if (CMXDoc* doc = dynamic_cast<CMXDoc*>(app.GetProjectDoc()))
        doc->SetModifiedFlag(false);
    app.ExitInstance();
    return saved ? 0 : 1;
}
