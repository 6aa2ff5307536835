// What graphs read of the workspace: data tables, fits and equations found
// by name (without regard to case, looked up again at every use). The graph
// model defines these small interfaces and the workspace implements them, so
// that graphs never reach up into the items themselves.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CDrawData;
class CEquationBase;
class CMXProjectItem;
class CMyData;
class CTransformation;

// One fit item as its graphs see it.
class CGraphFitSource {
public:
    virtual ~CGraphFitSource() = default;

    // The fit's data table and its item; null when the table is gone.
    virtual const CMyData* GetDataTable() const = 0;
    virtual CMXProjectItem* GetDataItem() const = 0;
    // The number of fit records (data sets) of the item.
    virtual int GetFitCount() const = 0;
    // How x is taken: 0 one set, 1 one x many y, 2 pairs, 3 and 4 associated x, 5 many x.
    virtual int GetFitKind() const = 0;
    // The x and y columns of fit record fit; false when there is no such record.
    virtual bool GetFitColumns(int fit, int& x, int& y) const = 0;
    // The state of fit record fit: 0 not fitted, 1 fitted, 2 failed; -1 no such record.
    virtual int GetFitStatus(int fit) const = 0;
    // A calculation of the item is running.
    virtual bool IsCalculating() const = 0;
    // The fitted y at x (with the associated x values of the row, when the fit has them).
    virtual bool CalcY(double x, int fit, const std::vector<double>* associatedX, double& y) = 0;
    // Parameter p of record fit, with its name; false when not fitted or past the end.
    virtual int GetParameterCount() const = 0;
    virtual bool GetParameter(int fit, int p, std::string& name, double& value, double& error) const = 0;
    // The equation that fit record fit fits, with the name of the item it
    // comes from; null when the record has none (a linear fit has none).
    virtual const CEquationBase* GetFitEquation(int fit, std::string& itemName) const { return nullptr; }
};

class CGraphSources {
public:
    virtual ~CGraphSources() = default;

    // Any workspace item of that name, or null.
    virtual CMXProjectItem* FindGraphItem(std::string_view name) const = 0;
    // A data table item of that name: its table, and its item when asked; null when none.
    virtual const CMyData* FindTable(std::string_view name, CMXProjectItem** item = nullptr) const = 0;
    // A fit item of that name, or null.
    virtual CGraphFitSource* FindFit(std::string_view name) const = 0;
    // The equation of an equation item of that name, or null (also when it is not compiled).
    virtual const CEquationBase* FindEquation(std::string_view name) const = 0;
    // A transformation item of that name (null when none), and through
    // equation the equation of the item it refers to (null when it has none).
    virtual const CTransformation* FindTransformation(std::string_view name, const CEquationBase** equation) const
    {
        return nullptr;
    }
    // The associated x values of a column whose type carries them; false otherwise.
    virtual bool GetAssociatedX(const CMyData& table, int column, std::vector<double>& values) const = 0;

    // The sources of the workspace that owns the page; null on a page of no workspace.
    static CGraphSources* Of(const CDrawData* page);
};

// Item names are one name whatever their case, as the workspace finds them.
bool SameName(std::string_view a, std::string_view b);
