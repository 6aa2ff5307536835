// A drop-down list of colour swatches: an optional "Automatic" entry, the 30
// standard colours and "Other..." (which opens the colour dialog). It edits a
// ColourValue; reserved colour words show no selection.
#pragma once

#include "ui/ColourValue.h"

#include <QComboBox>

class CDataExchange;

class CColourCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CColourCombo(QWidget* parent = nullptr);

    // Fills the list (with an "Automatic" entry when asked) and selects the value.
    void Init(const ColourValue& value, bool withAutomatic = false);
    // Stores the value and selects its entry; returns the index (-1: none).
    int SetColour(const ColourValue& value);
    int SetColour(COLORREF colour) { return SetColour(ColourValue(colour)); }
    const ColourValue& GetColour() const { return m_value; }

    void SetAutomaticColour(COLORREF colour) { m_automaticColour = colour; }
    COLORREF GetAutomaticColour() const { return m_automaticColour; }
    bool HasAutomatic() const { return m_hasAutomatic; }
    // The colour a list entry stands for (the swatch colour).
    COLORREF EntryColour(int index) const;
    // The index of "Other...".
    int OtherIndex() const { return kStandardColourCount + (m_hasAutomatic ? 1 : 0); }

signals:
    // The user chose an entry; the value has been updated.
    void colourChanged(CColourCombo* combo);

protected:
    // Asks for a colour starting from initial; false when cancelled.
    virtual bool ChooseColour(COLORREF initial, COLORREF& chosen);

private:
    void OnActivated(int index);

    ColourValue m_value;
    COLORREF m_automaticColour = kWindowTextColour;
    bool m_hasAutomatic = false;
};

// Dialog exchange of a plain colour and of a colour value with a colour combo.
void DDX_ColourCombo(CDataExchange* pDX, CColourCombo* combo, COLORREF& colour);
void DDX_ColourComboValue(CDataExchange* pDX, CColourCombo* combo, ColourValue& value);

// The colour of a COLORREF for drawing.
class QColor;
QColor ToQColor(COLORREF colour);
COLORREF FromQColor(const QColor& colour);
