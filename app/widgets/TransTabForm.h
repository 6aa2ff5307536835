// The window of a transformation item: its tabbed form (General, Data
// Points, Curve, Fonts, Indents), the View commands that pick a tab,
// Transformation/Compile, a "Compiled"/"Not compiled" state, and the
// printout. Every change that makes a compiled transformation need compiling
// again is announced to the workspace (a transformation notice).
#pragma once

#include "app/widgets/IndentView.h"
#include "app/widgets/MXProjectWnd.h"
#include "app/widgets/MXTabForm.h"
#include "ui/widgets/TabFontView.h"
#include "ui/widgets/TabFormView.h"

#include <string>
#include <vector>

class CCommentRichEditCtrl;
class CEquationBase;
class CMXTransform;
class CSyntaxEdit;
class CTransformation;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

enum ETransTab { TRANS_TAB_GENERAL, TRANS_TAB_DATA, TRANS_TAB_CURVE, TRANS_TAB_FONTS, TRANS_TAB_INDENTS, TRANS_TAB_COUNT };

// Control ids of the transformation tabs.
enum : int {
    IDC_TRANS_EQUATION = 1429,
    IDC_TRANS_DESCRIPTION = 1463,
    IDC_TRANS_DATA_FLAG = 1524,
    IDC_TRANS_X_DATA = 1197,
    IDC_TRANS_Y_DATA = 1199,
    IDC_TRANS_FIRST_NAME = 1430,  // default X name for graph, or the curve's X name
    IDC_TRANS_SECOND_NAME = 1432, // default Y name for graph, or the curve's Y name
    IDC_TRANS_CURVE_FLAG = 1530,
    IDC_TRANS_CURVE = 1431,
    IDC_TRANS_PARAMETER_LIST = 1186,
    IDC_TRANS_CONSTANT_LIST = 1187,
    IDC_TRANS_INDENT1 = 1175,
    IDC_TRANS_INDENT2 = 1177,
};

class CTransTabForm : public CMXTabForm {
    Q_OBJECT
public:
    explicit CTransTabForm(CMXTransform* item, QWidget* parent = nullptr);

    CMXTransform* GetTransItem() const;
    CTransformation* GetTransformation() const;
    // The equation of the associated equation item, or null when there is none.
    CEquationBase* GetAssociatedEquation() const;

    void OnInitialUpdate() override;
    bool OnFormCommand(UINT id, CCmdUI* ui) override;
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    int PrintSection(CPrintContext& pc, bool draw, int section, bool firstOnPage) override;

    // The workspace hears that the transformation changed.
    void UpdateTransformation() { AnnounceChange(17); }
    // Clears the compiled flag; a transformation that was compiled is announced.
    void Uncompile();
    // Transformation/Compile. True when the transformation is now compiled.
    bool Compile();

private:
    bool m_bSetUp = false;
};

class CTransProjectWnd : public CMXProjectWnd {
    Q_OBJECT
public:
    explicit CTransProjectWnd(QWidget* parent = nullptr) : CMXProjectWnd(parent) {}
    CTransTabForm* GetForm() const;

protected:
    QWidget* CreateItemView() override;
};

// The common base of the transformation's tabs.
class CTransTabPage : public CTabFormChildView {
    Q_OBJECT
public:
    using CTabFormChildView::CTabFormChildView;
    CMXTransform* GetTransItem() const;
    CTransformation* GetTransformation() const;
    CTransTabForm* GetTransForm() const;
};

// The General tab: the associated equation and the description.
class CTransGeneralView : public CTransTabPage {
    Q_OBJECT
public:
    CTransGeneralView();
    QComboBox* GetEquationList() const { return m_equations; }
    CCommentRichEditCtrl* GetEditor() const { return m_editor; }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    void Store();

protected:
    void OnInitialUpdate() override;
    void OnDetach() override;
    bool OnPageCommand(UINT id, CCmdUI* ui) override;

private:
    void FillEquations();
    void OnEquationChosen();

    QComboBox* m_equations;
    CCommentRichEditCtrl* m_editor;
    std::string m_strSelection;
};

// The Data Points and Curve tabs: definitions in the transformation's
// editors, the names that go with them, and the associated equation's
// parameters and constants.
class CTransPartView : public CTransTabPage {
    Q_OBJECT
public:
    // curve: the Curve tab, else the Data Points tab.
    explicit CTransPartView(bool curve);
    QCheckBox* GetFlag() const { return m_flag; }
    QLineEdit* GetFirstName() const { return m_first; }
    QLineEdit* GetSecondName() const { return m_second; }
    // The X and Y data editors on the Data Points tab; the curve's editor on the Curve tab.
    CSyntaxEdit* GetEditor(int index) const { return m_editors[index]; }
    QListWidget* GetParameterList() const { return m_parameters; }
    QListWidget* GetConstantList() const { return m_constants; }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    void Store();
    // The associated equation's symbols in the lists and the editors' words.
    void RefillSymbols();

protected:
    void OnInitialUpdate() override;
    bool OnPageCommand(UINT id, CCmdUI* ui) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillControls();
    void RebuildKeywords();
    void EnableControls();
    void OnFlagClicked();
    // A definition's text changed: the transformation needs compiling again.
    void OnDefinitionEdited();

    bool m_bCurve;
    QCheckBox* m_flag;
    QLineEdit* m_first;
    QLineEdit* m_second;
    std::vector<CSyntaxEdit*> m_editors;
    QListWidget* m_parameters;
    QListWidget* m_constants;
    std::vector<QWidget*> m_partControls; // greyed with the part's flag
};

class CTransDataView : public CTransPartView {
    Q_OBJECT
public:
    CTransDataView() : CTransPartView(false) {}
};

class CTransCurveView : public CTransPartView {
    Q_OBJECT
public:
    CTransCurveView() : CTransPartView(true) {}
};

class CTransFontView : public CTabFontView {
    Q_OBJECT
public:
    CTransFontView();
    void SelectFontElement(int index) override;
};

class CTransIndentView : public CIndentView {
    Q_OBJECT
public:
    CTransIndentView();

protected:
    int* GetIndents() override;
    void GetBounds(int i, const int* indents, int width, int& minimum, int& maximum) const override;
};
