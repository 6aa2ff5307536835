// The "Equation" page of a graph curve drawn from an equation: the equation
// items of the workspace by name, whether the chosen one can be drawn, and on
// Apply the curve takes the name and draws itself again.
#pragma once

#include <QWidget>

#include <string>

class CMXDoc;
class QComboBox;
class QLabel;

// What the page needs of the curve it sets up.
class CEquationCurve {
public:
    virtual ~CEquationCurve() = default;
    virtual CMXDoc* GetDocument() const = 0;
    virtual std::string GetEquationItemName() const = 0;
    virtual void SetEquationItemName(const std::string& name) = 0;
    // The curve computes its points again, and its graph follows.
    virtual void Refresh() = 0;
    virtual void OnGraphDataChanged() = 0;
};

// Control ids of the page.
enum : int { IDC_EQN_SOURCE_EQUATION = 1401, IDC_EQN_SOURCE_STATUS = 1402 };

class CEqnSourcePage : public QWidget {
    Q_OBJECT
public:
    explicit CEqnSourcePage(CEquationCurve* curve, QWidget* parent = nullptr);

    QString Title() const { return tr("Equation"); }
    QComboBox* GetEquationList() const { return m_equations; }
    QLabel* GetStatus() const { return m_status; }
    const std::string& GetChosenName() const { return m_strName; }
    bool IsModified() const { return m_bModified; }

    // Lists the workspace's equation items and says whether the chosen one can be drawn.
    void OnInitDialog();
    // The curve takes the chosen item; false (nothing changes) when no
    // equation item has that name.
    bool OnApply();

signals:
    void modified();

private:
    void UpdateStatus();
    void OnSelChange();

    CEquationCurve* m_pCurve;
    QComboBox* m_equations;
    QLabel* m_status;
    std::string m_strName;
    bool m_bModified = false;
};
