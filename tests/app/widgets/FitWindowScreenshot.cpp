// Starts the program with a table of initial rates and a Michaelis-Menten
// equation, adds a non-linear fit of them and saves a picture of the main
// window (run under a display, with a settings folder of its own in
// MARLOX_CONFIG_DIR):
//   fit_window_screenshot out.png settings   the Settings tab, before the fit
//   fit_window_screenshot out.png results    the Results tab after Fit Data
//   fit_window_screenshot out.png progress   the progress window of a long fit
#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXGrid.h"
#include "app/MXNonLinear.h"
#include "app/widgets/FitTabForm.h"
#include "app/widgets/FitTabViews.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXMainWnd.h"
#include "equation/Equation.h"
#include "framework/ProjectDocBase.h"
#include "platform/widgets/CommandIds.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Choose(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s out.png settings|results|progress\n", argv[0]);
        return 2;
    }
    const std::string what = argv[2];
    const bool progress = what == "progress";
    QApplication qapp(argc, argv);
    CMXApp app;
    if (!app.InitInstance({"marlox"}))
        return 1;
    CMXMainWnd* main = app.GetMainFrame();
    main->resize(1100, 720);
    CCommandRouter& router = main->GetRouter();
    auto* doc = dynamic_cast<CMXDoc*>(app.GetProjectDoc());
    if (!doc)
        return 1;

    // Initial rates of an enzyme reaction at twelve substrate concentrations
    // (or, for the progress picture, a long run of a slow model).
    auto* table = new CMXGrid(doc);
    table->InitNewItem();
    table->SetName("Initial rates", 0);
    const double conc[] = {0.02, 0.02, 0.06, 0.06, 0.11, 0.11, 0.22, 0.22, 0.56, 0.56, 1.10, 1.10};
    const double rate[] = {76, 47, 97, 107, 123, 139, 159, 152, 191, 201, 207, 200};
    const int rows = progress ? 100000 : 12;
    for (int i = 0; i < rows; ++i) {
        const double x = progress ? 0.01 + i * 1e-5 : conc[i];
        table->GetTable().SetNumber(2 + i, 0, x);
        table->GetTable().SetNumber(2 + i, 1, progress ? 212.7 * x / (0.0641 + x) : rate[i]);
    }
    auto* equation = new CMXEquation(doc);
    equation->InitNewItem();
    equation->SetName("Michaelis-Menten", 0);
    CEquation& eq = equation->GetCompiledEquation();
    eq.SetYName("v");
    eq.SetXName(0, "S", "Substrate concentration");
    eq.SetParameterName(0, "Vmax", "Maximum rate");
    eq.SetParameterName(1, "Km", "Michaelis constant");
    eq.SetModeFlag(1);
    eq.SetSource(progress ? "s = 0\r\nFOR i = 1 TO 100\r\ns = s + Vmax * S / (Km + S) / 100\r\nNEXT\r\nv = s"
                          : "v = Vmax * S / (Km + S)");
    eq.Compile();

    router.UpdateAll();
    router.Execute(ID_ADD_NONLINEAR);
    auto* frame = dynamic_cast<CNonlinProjectWnd*>(main->GetActiveItemFrame());
    if (!frame)
        return 1;
    CNonlinFitTabForm* form = frame->GetForm();
    CMXNonLinear* item = form->GetNonlinItem();
    form->SelectTab(NL_TAB_SETTINGS);
    auto* settings = dynamic_cast<CNonlinFitView*>(form->GetTabView(NL_TAB_SETTINGS));
    if (!settings)
        return 1;
    Choose(settings->GetEquationCombo(), settings->GetEquationCombo()->findText("Michaelis-Menten"));
    Choose(settings->GetTableCombo(), settings->GetTableCombo()->findText("Initial rates"));
    Choose(settings->GetXCombo(), 0);
    Choose(settings->GetYCombo(), 1);
    item->SetRangeFrom(0, 200);
    item->SetRangeSteps(0, 1);
    item->SetRangeFrom(1, 0.1);
    item->SetRangeSteps(1, 1);
    frame->showMaximized();
    if (what != "settings") {
        router.UpdateAll();
        router.Execute(ID_CALCULATE_FIT);
    }
    int status = 0;
    QTimer::singleShot(progress ? 3000 : 1500, [&] {
        router.UpdateAll();
        QPixmap picture = main->grab();
        // The progress window is a window of its own: drawn onto the picture where it stands.
        if (CFitProgressDlg* dlg = frame->GetProgressWnd()) {
            QPainter painter(&picture);
            painter.drawPixmap(main->mapFromGlobal(dlg->mapToGlobal(QPoint(0, 0))), dlg->grab());
        } else if (progress) {
            status = 1;
        }
        if (!picture.save(QString::fromLocal8Bit(argv[1])))
            status = 1;
        if (CMXResult* fit = form->GetResultItem())
            fit->StopCalculation();
        doc->SetModifiedFlag(false);
        qapp.quit();
    });
    qapp.exec();
    app.ExitInstance();
    return status;
}
