// Starts the program, adds an equation with its symbols and a definition,
// compiles it and saves a picture of the main window with the equation's
// Definition tab, or the tab given (run under a display, with a settings
// folder of its own in MARLOX_CONFIG_DIR):
//   equation_window_screenshot out.png [tab]
#include "app/MXEquation.h"
#include "app/widgets/EqnTabForm.h"
#include "app/widgets/EqnTabViews.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXMainWnd.h"
#include "equation/Equation.h"
#include "equation/widgets/SyntaxEdit.h"
#include "framework/ProjectDocBase.h"
#include "platform/widgets/CommandIds.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

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
    main->resize(1100, 720);
    CCommandRouter& router = main->GetRouter();
    router.UpdateAll();
    router.Execute(ID_ADD_EQUATION);
    auto* frame = dynamic_cast<CEqnProjectWnd*>(main->GetActiveItemFrame());
    if (!frame)
        return 1;
    CEqnTabForm* form = frame->GetForm();
    CEquation& eq = form->GetEqnItem()->GetCompiledEquation();
    eq.SetXName(0, "t", "Time (min)");
    eq.SetParameterName(0, "A0", "Initial absorbance");
    eq.SetParameterName(1, "k", "Rate constant");
    eq.SetParameterName(2, "Ainf", "Final absorbance");
    eq.SetYName("A");
    eq.SetSource("' First-order decay towards a plateau\r\n"
                 "If t < 0 Then\r\n"
                 "  A = A0\r\n"
                 "Else\r\n"
                 "  A = Ainf + (A0 - Ainf) * exp(-k * t)\r\n"
                 "Endif");
    eq.SetParameterDefinition(0, "ymax");
    eq.SetParameterDefinition(1, "-gradient");
    eq.SetParameterDefinition(2, "ymin");
    form->SelectTab(EQN_TAB_DEFINITION);
    router.UpdateAll();
    router.Execute(ID_EQUATION_COMPILE);
    if (argc > 2)
        form->SelectTab(std::atoi(argv[2]));
    frame->showMaximized();
    int status = 0;
    QTimer::singleShot(800, [&] {
        router.UpdateAll();
        if (!main->grab().save(QString::fromLocal8Bit(argv[1])))
            status = 1;
        if (CProjectDocBase* doc = app.GetProjectDoc())
            doc->SetModifiedFlag(false);
        qapp.quit();
    });
    qapp.exec();
    app.ExitInstance();
    return status;
}
