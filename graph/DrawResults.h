// A results listing on a graph page: the parameters of one fit of a fit item
// as a table of "Parameter", "Value" and "Std. Error", the numbers aligned
// on their decimal separators. It names the fit item, sizes itself to its
// text, and measures itself again when the fit is recalculated; in place of
// the table it says why there is none.
#pragma once

#include "data/DataFormat.h"
#include "draw/DrawObj.h"

#include <string>
#include <vector>

class CGraphFitSource;

// The listing laid out: either a message or the rows, with the widths of
// its columns and of the numbers' integer and decimal parts (page units).
struct CResultsLayout {
    struct Row {
        std::string name, valueInt, valueDec, errorInt, errorDec;
    };
    std::string message;
    std::vector<Row> rows;
    SIZE heading[3]{};
    SIZE messageSize{};
    int lineHeight = 0;
    int charWidth = 0;
    SIZE valueInt{}, valueDec{}, errorInt{}, errorDec{};
    int columnWidth[3]{};

    int Width() const;
    int Height() const;
    // Where column c starts, from the left edge.
    int ColumnStart(int c) const;
};

class CDrawResults : public CDrawObj {
    DECLARE_SERIAL(CDrawResults)
public:
    CDrawResults() = default;
    CDrawResults(const std::string& item, const RECT& position, CDrawData* page, int fit);

    void Serialize(CArchive& ar) override;
    void Draw(CDrawDC& dc, CDrawViewBase* view) override;
    CDrawObj* Clone(CDrawData* page) override;
    void SetFillColor(COLORREF colour) override {}
    void SetFillStyle(int on, bool redraw) override {}
    int GetFillStyle() override { return kNotApplicable; }
    int CanFill() override { return 0; }
    void SetTextColor(COLORREF colour, bool redraw) override;
    bool GetTextColor(COLORREF& colour) override
    {
        colour = m_charFormat.crTextColor;
        return true;
    }
    int SetCharFormat(CDrawViewBase* view, const CHARFORMAT& format) override;
    const CHARFORMAT* GetCharFormat(CDrawViewBase*) override { return &m_charFormat; }
    int HasTextFormat() override { return 1; }
    int HasResizeHandles() override { return 0; }
    int CanRotate() override { return 0; }
    int CanSetSize() override { return 0; }
    void OnEditProperties(CDrawViewBase* view) override;
    void OnListLoaded(CDrawObjList& list) override {}
    void OnDocumentChange(CUpdateNotification& notice) override;

    // The fit item of the stored name, or null.
    CGraphFitSource* GetResultsItem() const;
    // Lays the listing out with the current results.
    CResultsLayout Layout() const;
    // Measures the listing and sizes the object to it (keeping its left and upper edges).
    void RecalcSize();

    const std::string& GetItemName() const { return m_strItem; }
    int GetFitNumber() const { return m_nFit; }
    // Lists another fit (from 0) of the named item: measured again, repainted.
    void SetResults(const std::string& item, int fit);
    CDataFormat& GetNumberFormat() { return m_format; }

private:
    CHARFORMAT m_charFormat;
    std::string m_strItem;
    CDataFormat m_format;
    int m_nFit = 0;
    // The sizes last measured (stored, so that a listing can be placed
    // before it is measured again).
    int m_bSizesValid = 0;
    SIZE m_heading[3]{};
    SIZE m_message{};
    int m_nLineHeight = 0;
    int m_nCharWidth = 0;
    SIZE m_valueInt{}, m_valueDec{}, m_errorInt{}, m_errorDec{};
};
