// The window of an equation item: a frame whose view is the tabbed form of
// the equation (General, X Variables, Parameters, Constants, Definition,
// Estimates, Fonts, Indents). The form offers the View commands that pick a
// tab, Equation/Compile, which checks the tabs in order and takes the user
// to the fault, a "Compiled"/"Not compiled" state, and the printout.
#pragma once

#include "app/widgets/MXProjectWnd.h"
#include "app/widgets/MXTabForm.h"

#include <string>
#include <vector>

class CEquation;
class CMXEquation;
class CMXEquationBase;
struct SEquationCheck;

// Indices of the equation form's tabs.
enum EEqnTab {
    EQN_TAB_GENERAL,
    EQN_TAB_X,
    EQN_TAB_PARAMETERS,
    EQN_TAB_CONSTANTS,
    EQN_TAB_DEFINITION,
    EQN_TAB_ESTIMATES,
    EQN_TAB_FONTS,
    EQN_TAB_INDENTS,
    EQN_TAB_COUNT
};

class CEqnTabForm : public CMXTabForm {
    Q_OBJECT
public:
    explicit CEqnTabForm(CMXEquation* item, QWidget* parent = nullptr);

    CMXEquation* GetEqnItem() const;
    // The item's equation; null once the window let go of the item.
    CEquation* GetEquation() const;

    void OnInitialUpdate() override;
    bool OnFormCommand(UINT id, CCmdUI* ui) override;
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    int PrintSection(CPrintContext& pc, bool draw, int section, bool firstOnPage) override;

    // The workspace hears that the equation changed.
    void UpdateEquation();
    // Equation/Compile: the tabs store what they show, the checks run, and
    // a fault is shown on its tab. True when the equation is now compiled.
    bool Compile();

private:
    void ShowFault(const SEquationCheck& check);
    bool m_bSetUp = false;
};

class CEqnProjectWnd : public CMXProjectWnd {
    Q_OBJECT
public:
    explicit CEqnProjectWnd(QWidget* parent = nullptr) : CMXProjectWnd(parent) {}
    CEqnTabForm* GetForm() const;

protected:
    QWidget* CreateItemView() override;
};

// The View commands of the equation forms, in the order of their tabs (0
// where a form has no such tab); the radio mark follows the tab shown.
bool OnViewTabCommand(CTabFormView& form, const std::vector<UINT>& commands, UINT id, CCmdUI* ui);

// A numbered table of symbols as the equation printouts show them: a
// heading, the column headings "Symbol" and "Description", one row per
// symbol with its label (or its name when it has none), rules above and
// below the headings and below the last row. A table that does not fit on
// the rest of a page moves to the next one.
int PrintSymbolTable(CMXTabForm& form, CPrintContext& pc, bool draw, bool firstOnPage, const CMXEquationBase& item,
                     UINT headingId, const std::vector<std::string>& names, const std::vector<std::string>& labels);
