// Two-column grids of numbers typed next to fixed names: a heading row, the
// names in column 1 (not editable) and the values in column 2. Row r is entry
// r - 1. Values are doubles; the blank value means none. Numbers are shown
// with five significant digits and the user's decimal character, and read
// back the same way; an entry that is not a number beeps and keeps the value
// there was.
#pragma once

#include "grid/widgets/GridCtrl.h"

#include <optional>
#include <string>
#include <string_view>

class CValueGrid : public CGridCtrl {
    Q_OBJECT
public:
    explicit CValueGrid(QWidget* parent = nullptr);

    // "%.5lg" with the decimal character; blank values show nothing.
    static std::string FormatValue(double value, char decimal);
    // A number in the decimal character (spaces around it allowed); nothing
    // for any other text. An empty text is not a number either.
    static std::optional<double> ParseValue(std::string_view text, char decimal);

    void SetDecimalChar(char decimal) { m_chDecimal = decimal; }
    char GetDecimalChar() const { return m_chDecimal; }
    // Sets the row count from the number of entries and repaints.
    void Refresh();

    void GetHeaderText(int row, int column, std::string& text) override;
    void GetCellValueText(int row, int column, std::string& text) override;
    int SetCellText(int row, int column, const std::string& text) override;

protected:
    // What a grid of this kind shows and stores.
    virtual int GetEntryCount() const = 0;
    virtual std::string GetEntryName(int index) const = 0;
    virtual std::string GetNameCaption() const = 0;
    virtual std::string GetValueCaption() const = 0;
    virtual double GetValue(int index) const = 0;
    virtual void SetValue(int index, double value) = 0;
    // After a value has changed.
    virtual void OnValueChanged(int index) {}

    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void OnContextMenu(const QPoint& position) override;
    // Halves the client width between the two columns.
    void FitColumns();

private:
    char m_chDecimal;
};
