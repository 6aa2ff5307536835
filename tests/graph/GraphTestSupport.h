// A workspace for graph tests: data tables, fits and equations by name,
// behind the interfaces through which graphs read the workspace, with a
// page that belongs to it.
#pragma once

#include "data/MyData.h"
#include "draw/DrawData.h"
#include "equation/EquationBase.h"
#include "equation/Transformation.h"
#include "framework/ArchiveHelpers.h"
#include "framework/ProjectDocBase.h"
#include "graph/GraphSources.h"
#include "support/TestSupport.h"

#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A fit whose state and curve the test sets.
class FakeFit : public CGraphFitSource {
public:
    const CMyData* GetDataTable() const override { return table; }
    CMXProjectItem* GetDataItem() const override { return tableItem; }
    int GetFitCount() const override { return count; }
    int GetFitKind() const override { return kind; }
    bool GetFitColumns(int fit, int& x, int& y) const override
    {
        if (fit < 0 || fit >= count)
            return false;
        x = xColumn;
        y = yColumn;
        return true;
    }
    int GetFitStatus(int fit) const override { return fit >= 0 && fit < count ? status : -1; }
    bool IsCalculating() const override { return calculating; }
    bool CalcY(double x, int, const std::vector<double>*, double& y) override
    {
        ++calls;
        y = curve(x);
        return std::isfinite(y);
    }
    int GetParameterCount() const override { return int(parameters.size()); }
    bool GetParameter(int fit, int p, std::string& name, double& value, double& error) const override
    {
        if (fit < 0 || fit >= count || status != 1 || p < 0 || p >= int(parameters.size()))
            return false;
        name = parameters[std::size_t(p)].name;
        value = parameters[std::size_t(p)].value;
        error = parameters[std::size_t(p)].error;
        return true;
    }
    const CEquationBase* GetFitEquation(int fit, std::string& itemName) const override
    {
        if (!equation || fit < 0 || fit >= count)
            return nullptr;
        itemName = equationName;
        return equation;
    }
    struct Parameter {
        std::string name;
        double value, error;
    };
    // The fitted equation (none for a linear fit) and its item's name.
    const CEquationBase* equation = nullptr;
    std::string equationName;
    std::vector<Parameter> parameters;

    const CMyData* table = nullptr;
    CMXProjectItem* tableItem = nullptr;
    int count = 1;
    int kind = 0;
    int xColumn = 0;
    int yColumn = 1;
    int status = 1;
    bool calculating = false;
    int calls = 0;
    std::function<double(double)> curve = [](double x) { return 2.0 * x + 1.0; };
};

class TestWorkspace : public CProjectDocBase, public CGraphSources {
public:
    struct Entry {
        std::string name;
        std::unique_ptr<CMyData> table;
        std::unique_ptr<FakeFit> fit;
        std::unique_ptr<CEquationBase> equation;
        std::unique_ptr<CTransformation> transformation;
        int token = 0;
    };

    CMyData& AddTable(const std::string& name)
    {
        Entry& e = Add(name);
        e.table = std::make_unique<CMyData>();
        return *e.table;
    }
    FakeFit& AddFit(const std::string& name)
    {
        Entry& e = Add(name);
        e.fit = std::make_unique<FakeFit>();
        return *e.fit;
    }
    CTransformation& AddTransformation(const std::string& name)
    {
        Entry& e = Add(name);
        e.transformation = std::make_unique<CTransformation>();
        return *e.transformation;
    }
    CEquationBase& AddEquation(const std::string& name, std::unique_ptr<CEquationBase> equation)
    {
        Entry& e = Add(name);
        e.equation = std::move(equation);
        return *e.equation;
    }
    void Rename(const std::string& from, const std::string& to) { Find(from)->name = to; }
    void Remove(const std::string& name)
    {
        for (auto it = entries.begin(); it != entries.end(); ++it)
            if (CompareNoCase((*it)->name, name) == 0) {
                entries.erase(it);
                return;
            }
    }
    CMXProjectItem* Item(const std::string& name) const
    {
        Entry* e = Find(name);
        return e ? reinterpret_cast<CMXProjectItem*>(&e->token) : nullptr;
    }

    CMXProjectItem* FindGraphItem(std::string_view name) const override { return Item(std::string(name)); }
    const CMyData* FindTable(std::string_view name, CMXProjectItem** item) const override
    {
        Entry* e = Find(std::string(name));
        if (!e || !e->table)
            return nullptr;
        if (item)
            *item = reinterpret_cast<CMXProjectItem*>(&e->token);
        return e->table.get();
    }
    CGraphFitSource* FindFit(std::string_view name) const override
    {
        Entry* e = Find(std::string(name));
        return e ? e->fit.get() : nullptr;
    }
    const CEquationBase* FindEquation(std::string_view name) const override
    {
        Entry* e = Find(std::string(name));
        return e ? e->equation.get() : nullptr;
    }
    const CTransformation* FindTransformation(std::string_view name, const CEquationBase** equation) const override
    {
        Entry* e = Find(std::string(name));
        if (!e || !e->transformation)
            return nullptr;
        if (equation)
            *equation = FindEquation(e->transformation->GetReferenceName());
        return e->transformation.get();
    }
    bool GetAssociatedX(const CMyData&, int, std::vector<double>&) const override { return false; }

    std::vector<std::unique_ptr<Entry>> entries;

private:
    Entry& Add(const std::string& name)
    {
        entries.push_back(std::make_unique<Entry>());
        entries.back()->name = name;
        return *entries.back();
    }
    Entry* Find(const std::string& name) const
    {
        for (const auto& e : entries)
            if (CompareNoCase(e->name, name) == 0)
                return e.get();
        return nullptr;
    }
};

// A page of the test workspace.
struct GraphFixture {
    GraphFixture()
    {
        page.SetDocument(&doc);
        page.InitPageSetup();
    }
    TestWorkspace doc;
    CDrawData page;
};

// Fills column c of a table with numbers from row 2 on (NaN leaves a cell empty).
inline void FillColumn(CMyData& table, int column, const std::vector<double>& values)
{
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!std::isnan(values[i]))
            table.SetNumber(int(i) + 2, column, values[i]);
}
