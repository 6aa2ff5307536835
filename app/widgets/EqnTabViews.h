// The tabs of the equation item's form. Each shows one aspect of the item's
// equation and writes the user's edits back into it: a change that makes a
// compiled equation need compiling again is announced at once, so that the
// state pane, the fits and the graphs that use the equation follow.
//
// The Fonts and Indents tabs serve every kind of equation item (the library
// equation's form shows them too).
#pragma once

#include "equation/EquationBase.h"
#include "app/widgets/IndentView.h"
#include "ui/widgets/TabFontView.h"
#include "ui/widgets/TabFormView.h"

#include <QLineEdit>

#include <string>

class CCommentRichEditCtrl;
class CEqnSyntaxEdit;
class CEquation;
class CMXEquation;
class CMXEquationBase;
class CParamEstGrid;
class CXGrid;
class QCheckBox;
class QListWidget;

// Control ids of the equation tabs.
enum : int {
    IDC_EQN_GRID_PLACEHOLDER = 1179,
    IDC_EQN_DELETE_ROW = 1180,
    IDC_EQN_INSERT_ROW = 1181,
    IDC_EQN_Y_NAME = 1183,
    IDC_EQN_DEFINITION = 1184,
    IDC_EQN_X_LIST = 1185,
    IDC_EQN_PARAMETER_LIST = 1186,
    IDC_EQN_CONSTANT_LIST = 1187,
    IDC_EQN_DESCRIPTION = 1462,
    IDC_EQN_ESTIMATE_FLAG = 1200,
    IDC_EQN_X_TRANSFORM = 1205,
    IDC_EQN_Y_TRANSFORM = 1206,
    IDC_EQN_ESTIMATE_GRID = 1207,
    IDC_EQN_INDENT_PICTURE = 1174,
    IDC_EQN_INDENT1 = 1175,
    IDC_EQN_INDENT2 = 1176,
    IDC_EQN_INDENT3 = 1177,
    IDC_EQN_INDENT4 = 1179,
};

// An edit for a symbol name: letters, digits and "_" are typed, Enter and
// Tab are dropped quietly, and any other character is refused with a beep.
class CIdentifierEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CIdentifierEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The common base of the equation's tabs: the item and its equation.
class CEqnTabPage : public CTabFormChildView {
    Q_OBJECT
public:
    using CTabFormChildView::CTabFormChildView;
    CMXEquation* GetEqnItem() const;
    CEquation* GetEquation() const;

protected:
    // The user changed what the page shows: the equation needs compiling again.
    void InvalidateOnEdit();
    // Writes the page's values into the equation (write returns whether
    // anything changed); an equation that stops being compiled is announced.
    template <class Write>
    void StoreWithCheck(Write write);
    void Announce();
};

// The X Variables, Parameters and Constants tabs: a grid of the symbols'
// names and descriptions with Delete Row and Insert Row.
class CEqnTabChildView : public CEqnTabPage {
    Q_OBJECT
public:
    CEqnTabChildView(int templateId, CEquationBase::SymbolKind kind);
    CXGrid* GetGrid() const { return m_grid; }
    // Makes row, column 1 the current cell and gives the grid the focus.
    void SelectRow(int row);
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;

protected:
    void OnInitialUpdate() override;
    bool OnPageCommand(UINT id, CCmdUI* ui) override;

private:
    CEquationBase::SymbolKind m_kind;
    CXGrid* m_grid = nullptr;
};

class EqnXView : public CEqnTabChildView {
    Q_OBJECT
public:
    EqnXView() : CEqnTabChildView(3516, CEquationBase::SymbolX) {}
};

class CEqnParamView : public CEqnTabChildView {
    Q_OBJECT
public:
    CEqnParamView() : CEqnTabChildView(3515, CEquationBase::SymbolParameter) {}
};

class CEqnConstView : public CEqnTabChildView {
    Q_OBJECT
public:
    CEqnConstView() : CEqnTabChildView(3512, CEquationBase::SymbolConstant) {}
};

// The Definition tab: the Y name, the definition in the equation editor,
// and the declared symbols, whose names a double click inserts.
class CEqnDefView : public CEqnTabPage {
    Q_OBJECT
public:
    CEqnDefView();
    CEqnSyntaxEdit* GetEditor() const { return m_editor; }
    QLineEdit* GetYNameEdit() const { return m_yName; }
    QListWidget* GetSymbolList(int kind) const { return m_lists[kind]; }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    // The editor's word list of declared names follows the equation.
    void RefreshNameKeywords();
    // Writes the Y name and the definition into the equation.
    void Store();

protected:
    void OnInitialUpdate() override;
    bool OnPageCommand(UINT id, CCmdUI* ui) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillControls();

    CIdentifierEdit* m_yName;
    CEqnSyntaxEdit* m_editor;
    QListWidget* m_lists[3];
    std::string m_strYName;
    std::string m_strDefinition;
};

// The General tab: the description, with formatting and embedded pictures.
class CEqnGeneralView : public CEqnTabPage {
    Q_OBJECT
public:
    CEqnGeneralView();
    CCommentRichEditCtrl* GetEditor() const { return m_editor; }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    // The description goes into the item when it was edited.
    void Store();

protected:
    void OnInitialUpdate() override;
    void OnDetach() override;
    bool OnPageCommand(UINT id, CCmdUI* ui) override;

private:
    CCommentRichEditCtrl* m_editor;
};

// The Estimates tab: estimates from a straight line through transformed
// data, with the parameters' definitions in a grid.
class CEqnEstimates : public CEqnTabPage {
    Q_OBJECT
public:
    CEqnEstimates();
    QCheckBox* GetFlag() const { return m_flag; }
    QLineEdit* GetXEdit() const { return m_x; }
    QLineEdit* GetYEdit() const { return m_y; }
    CParamEstGrid* GetGrid() const { return m_grid; }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;
    void Store();
    // Shows a fault's range in one of the transform edits.
    void SelectTransformRange(bool y, int start, int end);
    void SelectDefinitionRow(int row);

protected:
    void OnInitialUpdate() override;
    bool OnPageCommand(UINT id, CCmdUI* ui) override;

private:
    void EnableControls();

    QCheckBox* m_flag;
    QLineEdit* m_x;
    QLineEdit* m_y;
    QWidget* m_transforms;
    QWidget* m_estimates;
    CParamEstGrid* m_grid = nullptr;
};

// The Fonts tab of an equation item: headings, variables heading, normal
// text and the header and footer.
class CEqnFontView : public CTabFontView {
    Q_OBJECT
public:
    CEqnFontView();
    void SelectFontElement(int index) override;
};

// The Indents tab of an equation item: the four indents of its printout.
class CEqnIndentView : public CIndentView {
    Q_OBJECT
public:
    CEqnIndentView();

protected:
    int* GetIndents() override;
    void GetBounds(int i, const int* indents, int width, int& minimum, int& maximum) const override;
};
