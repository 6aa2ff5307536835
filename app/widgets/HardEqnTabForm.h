// The window of an equation supplied by an equation library: its tabbed
// form (General, X Variables, Parameters, Constants, Fonts, Indents). The
// only thing the form changes is the library file; the names of the
// symbols show as the library gives them. Choosing a library loads it at
// once, and the workspace hears of the changed equation.
#pragma once

#include "app/widgets/MXProjectWnd.h"
#include "app/widgets/MXTabForm.h"
#include "equation/EquationBase.h"
#include "ui/widgets/TabFormView.h"

#include <string>

class CHardEquation;
class CMXHardEquation;
class CXGrid;
class QCheckBox;
class QLineEdit;
class QPushButton;

enum EHardEqnTab {
    HARD_TAB_GENERAL,
    HARD_TAB_X,
    HARD_TAB_PARAMETERS,
    HARD_TAB_CONSTANTS,
    HARD_TAB_FONTS,
    HARD_TAB_INDENTS,
    HARD_TAB_COUNT
};

// Control ids of the General tab.
enum : int {
    IDC_HARD_DESCRIPTION = 1197,
    IDC_HARD_PATH = 1198,
    IDC_HARD_ESTIMATES = 1575,
    IDC_HARD_BROWSE = 1574,
};

class CHardEqnTabForm : public CMXTabForm {
    Q_OBJECT
public:
    explicit CHardEqnTabForm(CMXHardEquation* item, QWidget* parent = nullptr);

    CMXHardEquation* GetHardItem() const;
    CHardEquation* GetEquation() const;

    void OnInitialUpdate() override;
    bool OnFormCommand(UINT id, CCmdUI* ui) override;
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    int PrintSection(CPrintContext& pc, bool draw, int section, bool firstOnPage) override;

    // The workspace hears that the equation changed.
    void UpdateEquation() { AnnounceChange(10); }

private:
    bool m_bSetUp = false;
};

class CHardEqnProjectWnd : public CMXProjectWnd {
    Q_OBJECT
public:
    explicit CHardEqnProjectWnd(QWidget* parent = nullptr) : CMXProjectWnd(parent) {}
    CHardEqnTabForm* GetForm() const;

protected:
    QWidget* CreateItemView() override;
};

// The General tab: the library's description, its file, and whether it
// gives starting estimates.
class CHardEqnGeneralView : public CTabFormChildView {
    Q_OBJECT
public:
    CHardEqnGeneralView();
    QLineEdit* GetPathEdit() const { return m_path; }
    QLineEdit* GetDescription() const { return m_description; }
    QCheckBox* GetEstimates() const { return m_estimates; }
    QPushButton* GetBrowseButton() const { return m_browse; }

    // Browse: the library chosen (through the program's file chooser) is loaded.
    void Browse();
    // Loads the library that the path field names and announces the change.
    void ApplyPath();
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;

protected:
    void OnInitialUpdate() override;

private:
    void ShowEquation();

    QLineEdit* m_description;
    QLineEdit* m_path;
    QCheckBox* m_estimates;
    QPushButton* m_browse;
};

// The X Variables, Parameters and Constants tabs: the library's names, read only.
class CHardEqnNameView : public CTabFormChildView {
    Q_OBJECT
public:
    CHardEqnNameView(int templateId, CEquationBase::SymbolKind kind);
    CXGrid* GetGrid() const { return m_grid; }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;

protected:
    void OnInitialUpdate() override;

private:
    CEquationBase::SymbolKind m_kind;
    CXGrid* m_grid = nullptr;
};

class CHardEqnXView : public CHardEqnNameView {
    Q_OBJECT
public:
    CHardEqnXView() : CHardEqnNameView(3598, CEquationBase::SymbolX) {}
};

class CHardEqnParamView : public CHardEqnNameView {
    Q_OBJECT
public:
    CHardEqnParamView() : CHardEqnNameView(3600, CEquationBase::SymbolParameter) {}
};

class CHardEqnConstView : public CHardEqnNameView {
    Q_OBJECT
public:
    CHardEqnConstView() : CHardEqnNameView(3599, CEquationBase::SymbolConstant) {}
};
