// The function equation of a Calculated column, as the column sees it. The
// equation language provides the implementation and installs a factory;
// until one is installed a Calculated column has no equation and shows
// "ERROR - bad equation" in each row it computes.
#pragma once

#include <memory>
#include <string>

class CArchive;
class CDataTableItem;

class CColumnFunction {
public:
    enum Result { kValue, kBlank, kError };

    virtual ~CColumnFunction() = default;
    virtual std::unique_ptr<CColumnFunction> Clone() const = 0;

    // Sets the text with the result name "Result" and compiles it; false on a
    // syntax error (the function is then not valid).
    virtual bool SetText(const std::string& text) = 0;
    virtual const std::string& GetText() const = 0;
    virtual bool IsValid() const = 0;
    // Forgets the values kept between rows.
    virtual void ResetValues() = 0;
    // The table the equation reads and the column it fills (column from 1).
    virtual void SetContext(CDataTableItem* item, int column1) = 0;
    virtual void SetDataRow(int row1) = 0;
    // Evaluates for the current data row: kValue with value; kBlank when it
    // read a blank value; kError with the error's message.
    virtual Result Calculate(double& value, std::string& errorText) = 0;
    // The equation's own stored form.
    virtual void Serialize(CArchive& ar) = 0;
};

using ColumnFunctionFactory = std::unique_ptr<CColumnFunction> (*)();
// Installs the factory; returns the one it replaces (null: none).
ColumnFunctionFactory SetColumnFunctionFactory(ColumnFunctionFactory factory);
std::unique_ptr<CColumnFunction> CreateColumnFunction();
