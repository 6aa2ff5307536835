// The grid of an equation's parameter definitions, the expressions from
// which starting estimates are computed: one row per parameter with its name
// (not editable) and its definition, edited in place. A changed definition
// makes the equation need compiling again.
#pragma once

#include "grid/widgets/GridCtrl.h"

#include <functional>

class CEquationBase;

class CParamEstGrid : public CGridCtrl {
    Q_OBJECT
public:
    explicit CParamEstGrid(QWidget* parent = nullptr);

    // Keeps the equation (not owned), takes the place of the dialog's
    // placeholder control and sets the row count.
    bool Attach(CEquationBase* equation, QWidget* dialog, int controlId);
    CEquationBase* GetEquation() const { return m_pEquation; }
    // Told after a definition changed; wasValid says whether the equation
    // was compiled before the change.
    void SetChangeHandler(std::function<void(bool wasValid)> handler) { m_onChanged = std::move(handler); }
    // One row per parameter, after the heading row.
    void UpdateRowCount();

    void GetHeaderText(int row, int column, std::string& text) override;
    void GetCellValueText(int row, int column, std::string& text) override;
    int SetCellText(int row, int column, const std::string& text) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void OnContextMenu(const QPoint& position) override;

private:
    CEquationBase* m_pEquation = nullptr;
    std::function<void(bool)> m_onChanged;
};
