// Saves pictures of what the main window offers (run under a display, with a
// settings folder of its own in MARLOX_CONFIG_DIR):
//   commands_screenshot main out.png   the main window with a table and a note, every toolbar shown
//   commands_screenshot note out.png   a note whose text has several faces, sizes and colours
//   commands_screenshot help out.png   the help window opened with F1 on a data table
#include "app/MXDoc.h"
#include "app/widgets/DataView.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXHelp.h"
#include "app/widgets/MXMainWnd.h"
#include "app/widgets/NotepadProjectWnd.h"
#include "app/widgets/TableProjectWnd.h"
#include "data/MyData.h"
#include "app/MXGrid.h"
#include "framework/widgets/ProjectFrameBase.h"
#include "platform/widgets/CommandIds.h"
#include "ui/widgets/CommentRichEditCtrl.h"
#include "ui/widgets/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QPixmap>
#include <QTextCursor>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

void Run(CCommandRouter& router, UINT id)
{
    router.UpdateAll();
    router.Execute(id);
    QApplication::processEvents();
}

// Appends text in the given face, size (points) and colour.
void Write(CCommentRichEditCtrl* editor, const QString& text, const QString& face, double points, QColor colour,
           bool bold = false)
{
    QTextCursor cursor = editor->textCursor();
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setFontFamilies({face});
    format.setFontPointSize(points);
    format.setForeground(colour);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    cursor.insertText(text, format);
    editor->setTextCursor(cursor);
}

CCommentRichEditCtrl* FillNote(CMXMainWnd* main)
{
    auto* frame = main->GetActiveItemFrame();
    auto* view = frame ? qobject_cast<CNoteView*>(frame->widget()) : nullptr;
    if (!view)
        return nullptr;
    CCommentRichEditCtrl* editor = view->GetEditor();
    Write(editor, "Enzyme kinetics, run 3\n", "DejaVu Serif", 18, QColor(20, 40, 120), true);
    Write(editor, "Substrate: ", "DejaVu Sans", 11, Qt::black);
    Write(editor, "p-nitrophenyl phosphate", "DejaVu Sans Mono", 11, QColor(0, 110, 60));
    Write(editor, ", 0.1 to 5 mM.\n", "DejaVu Sans", 11, Qt::black);
    Write(editor, "Check: ", "DejaVu Sans", 11, Qt::black, true);
    Write(editor, "the 4 mM point looks low; repeat it before fitting.\n", "DejaVu Sans", 11, QColor(200, 0, 0));
    Write(editor, "Fit Michaelis-Menten with weights 1/y", "DejaVu Serif", 14, QColor(128, 0, 128));
    // The last words selected, so that the toolbar shows their face and size.
    QTextCursor cursor = editor->textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    editor->setFocus();
    return editor;
}

void FillTable(CMXMainWnd* main)
{
    auto* frame = dynamic_cast<CTableProjectWnd*>(main->GetActiveItemFrame());
    CDataView* view = frame ? frame->GetDataView() : nullptr;
    auto* grid = view ? view->GetFrameItem() : nullptr;
    if (!grid)
        return;
    CMyData& table = grid->GetTable();
    const double s[] = {0.1, 0.25, 0.5, 1, 2, 4, 5}, v[] = {0.82, 1.7, 2.9, 4.1, 5.3, 5.6, 6.2};
    for (int i = 0; i < 7; ++i) {
        table.SetNumber(2 + i, 0, s[i]);
        table.SetNumber(2 + i, 1, v[i]);
    }
    view->SetCurrentCell(6, 2);
    view->viewport()->update();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s main|note|help out.png\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    QApplication qapp(argc, argv);
    CMXApp app;
    if (!app.InitInstance({"marlox"}))
        return 1;
    CMXMainWnd* main = app.GetMainFrame();
    main->resize(1180, 800);
    CCommandRouter& router = main->GetRouter();
    QWidget* target = main;
    if (mode == "help") {
        // The pages and the topic map installed beside the program.
        const QDir dir(QCoreApplication::applicationDirPath());
        CMXHelp::SetLocations(dir.filePath("help"), dir.filePath("marlox.ini"));
        Run(router, ID_ADD_DATA);
        FillTable(main);
        Run(router, ID_HELP);
        target = CHelpWindow::ExistingInstance();
        if (!target)
            std::fprintf(stderr, "no help window (help %s)\n", CMXHelp::IsHelpAvailable() ? "available" : "missing");
        if (target)
            target->resize(760, 560);
    } else {
        Run(router, ID_ADD_DATA);
        FillTable(main);
        Run(router, ID_ADD_NOTEPAD);
        FillNote(main);
        if (mode == "note") {
            if (CProjectFrameBase* frame = main->GetActiveItemFrame())
                frame->showMaximized();
        } else {
            main->GetMdiArea()->tileSubWindows();
        }
    }
    int status = target ? 0 : 1;
    QTimer::singleShot(900, [&] {
        router.UpdateAll();
        if (target && !target->grab().save(QString::fromLocal8Bit(argv[2])))
            status = 1;
        if (CProjectDocBase* doc = app.GetProjectDoc())
            doc->SetModifiedFlag(false);
        qapp.quit();
    });
    qapp.exec();
    app.ExitInstance();
    return status;
}
