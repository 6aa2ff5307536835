// The Colors page of a data table's Preferences: the six colours with which
// the table is drawn. Apply (and OK) changes them as one undoable step;
// Restore Defaults shows the system colours; Save as Defaults keeps the
// shown colours for new tables.
#pragma once

#include "platform/Types.h"

#include <QWidget>

#include <array>

class CColourCombo;
class CDataView;
class CFontPage;
class CHelpPropertySheet;
class QPushButton;

class CGridColorsPage : public QWidget {
    Q_OBJECT
public:
    // The colours in the page's order.
    enum Colour { kCalculated, kEditable, kGridLines, kRowColumn, kHeading, kLocked, kCount };

    CGridColorsPage(CDataView* view, QWidget* parent = nullptr);

    std::array<COLORREF, kCount> m_colours{};

    // Moves the values to the combos (false) or takes the combos' values (true).
    bool UpdateData(bool save);
    // Applies the shown colours (and the font page's font, when given) to the
    // table through its action list, as one step.
    bool OnApply(const CFontPage* fontPage = nullptr);
    void OnReset();
    void SaveAsDefaults();
    bool IsModified() const { return m_bModified; }

    CColourCombo* Combo(Colour which) const { return m_combos[std::size_t(which)]; }
    QPushButton* RestoreButton() const { return m_restore; }
    QPushButton* SaveButton() const { return m_save; }

    // Builds the Preferences sheet of the view with this page and runs it.
    static int RunPreferences(CDataView* view);

private:
    CDataView* m_pView;
    std::array<CColourCombo*, kCount> m_combos{};
    QPushButton* m_restore;
    QPushButton* m_save;
    bool m_bModified = false;
};
