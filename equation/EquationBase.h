// The one interface through which fits, curves, transformations and
// estimates compute y from x values, parameters and constants, whether the
// equation is written in the equation language or supplied by a library.
//
// Use: set the names (and source), Compile or Load, ResizeValues, write the
// value arrays, then call Calculate and CalculateDerivatives as often as
// needed. One object serves one thread at a time; Clone makes another.
#pragma once

#include "framework/MyVector.h"
#include "platform/Object.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CArchive;
class CDoubleColumns;

// Stored form of a string array: the framework count, then the strings.
void ArchiveStoreStrings(CArchive& ar, const std::vector<std::string>& strings);
void ArchiveLoadStrings(CArchive& ar, std::vector<std::string>& strings);

// Values of a program that derivative runs at the same parameters can take
// instead of computing them again, for many points: value j of point i at
// data[j * stride + i].
struct SKeptValues {
    double* data = nullptr;
    std::size_t stride = 0;
    int count = 0;
    bool complete = false;
};

class CEquationBase : public CObject {
    DECLARE_SERIAL(CEquationBase)
public:
    CEquationBase();
    ~CEquationBase() override = default;

    // Instructions one evaluation may execute before it is abandoned as
    // endless (CMyRunLimitError). Far above any real model.
    static constexpr std::int64_t kInstructionBudget = 100'000'000;

    // --- operations that every kind of equation overrides as it needs ---
    virtual void Invalidate() { m_bValid = false; }
    // d y / d parameter i at the current values into out[i]; out must hold
    // at least the parameter count.
    virtual void CalculateDerivatives(CMyVector& out);
    virtual std::unique_ptr<CEquationBase> Clone() const;
    // Starting values into the parameter values; 1 on success, else 0.
    virtual int CalculateEstimates(const CDoubleColumns& x, const CMyVector& y, const CMyVector& weights);
    // y for the current values; not valid: the stored result (0 for equations).
    virtual double Calculate() { return m_result; }
    // y at count points, as setting X value j to columns[j][i] (j below
    // columnCount; the other X values stay) and calling Calculate at each
    // point i in turn would give it: the same results in out bit for bit, the
    // same values left behind, and an error thrown by the point that meets
    // it, after the results before that point are written. A variant that
    // overrides Calculate overrides this as well.
    // With keep, the values that derivative runs at the same parameters can
    // take instead of computing them again (KeptValueCount of them for each
    // point) go to keep as well, and keep->complete says whether every
    // point's did.
    virtual void CalculatePoints(const double* const* columns, int columnCount, int count, double* out,
                                 SKeptValues* keep = nullptr);
    // The derivatives at count points (X values as for CalculatePoints) into
    // derivs[i * stride + k] for parameter k, and y into values[i], as these
    // steps at each point in turn give them. Central: CalculateDerivatives,
    // then Calculate. Forward: Calculate, then ForwardDerivatives. When known,
    // values[i] already hold y and Calculate is not called for it; kept, when
    // given, holds what CalculatePoints kept at the same parameters (its
    // results are the same with or without it).
    virtual void CalculatePointDerivatives(const double* const* columns, int columnCount, int count, bool central,
                                           bool known, double* values, double* derivs, int stride,
                                           const SKeptValues* kept = nullptr);
    // How many values for each point CalculatePoints can keep for derivative
    // runs over the first params parameters; 0 when it keeps none.
    virtual int KeptValueCount(int params) { return 0; }
    // d y / d parameter i into out[i] by forward differences from f, the y of
    // the current values: one evaluation a parameter where central
    // differences take two.
    void ForwardDerivatives(double f, double* out);
    virtual void ResizeValues();

    // --- definition ---
    bool IsValid() const { return m_bValid; }
    void SetYName(const std::string& name);
    const std::string& GetYName() const { return m_strYName; }
    // A null name or label leaves that entry as it is; the array grows to i + 1.
    void SetParameterName(int i, const char* name, const char* label = nullptr);
    void SetConstantName(int i, const char* name, const char* label = nullptr);
    void SetXName(int i, const char* name, const char* label = nullptr);
    void SetParameterCount(int n);
    void SetConstantCount(int n);
    void SetXCount(int n);
    int GetParameterCount() const { return int(m_paramNames.size()); }
    int GetConstantCount() const { return int(m_constNames.size()); }
    int GetXCount() const { return int(m_xNames.size()); }
    void GetParameterNames(int i, std::string& name, std::string& label) const;
    void GetConstantNames(int i, std::string& name, std::string& label) const;
    void GetXNames(int i, std::string& name, std::string& label) const;
    // The label when there is one, else the name; empty past the end.
    std::string GetParameterName(int i) const;
    std::string GetConstantName(int i) const;
    std::string GetXName(int i) const;
    std::string GetParameterDefinition(int i) const;
    void SetParameterDefinition(int i, const std::string& text);
    // The names and labels of one kind of symbol, edited in place by the
    // symbol grids; the caller keeps both the same length and invalidates.
    enum SymbolKind { SymbolX, SymbolParameter, SymbolConstant };
    std::vector<std::string>& SymbolNames(SymbolKind kind);
    std::vector<std::string>& SymbolLabels(SymbolKind kind);
    void SetModeFlag(int lenient);
    int GetModeFlag() const { return m_nLenient; }
    void SetUseParameterDefinitions(int use);
    int GetUseParameterDefinitions() const { return m_nUseParamDefs; }
    // Names, labels, definitions, flags and the parameter and constant values;
    // not the X values, the extra X values or the valid flag.
    void Copy(const CEquationBase& other);

    // --- values ---
    CMyVector& GetParameterValues() { return m_paramValues; }
    CMyVector& GetConstantValues() { return m_constValues; }
    CMyVector& GetXValues() { return m_xValues; }
    CMyVector& GetExtraXValues() { return m_extraX; }
    const CMyVector& GetParameterValues() const { return m_paramValues; }
    const CMyVector& GetConstantValues() const { return m_constValues; }
    const CMyVector& GetXValues() const { return m_xValues; }
    const CMyVector& GetExtraXValues() const { return m_extraX; }
    double GetResult() const { return m_result; }

    // A flag that a fit's worker sets to interrupt a running evaluation
    // (CEvaluationStopped is thrown); null for none. Not owned.
    void SetStopFlag(const std::atomic<bool>* stop) { m_pStop = stop; }
    const std::atomic<bool>* GetStopFlag() const { return m_pStop; }
    // The instruction budget of one evaluation (kInstructionBudget by default).
    void SetInstructionBudget(std::int64_t budget) { m_nBudget = budget; }
    std::int64_t GetInstructionBudget() const { return m_nBudget; }

    void Serialize(CArchive& ar) override;

protected:
    // The parameter values at which the derivatives evaluate the model: p + h
    // and p - h for central differences, p + h for forward ones.
    static void CentralSteps(double p, double& up, double& down);
    static double ForwardStep(double p);
    // Writes X values j < columnCount from point i of columns.
    void SetPointX(const double* const* columns, int columnCount, int i);

    int m_nLenient = 0;
    bool m_bValid = false;
    std::string m_strYName;
    std::vector<std::string> m_paramNames, m_paramLabels;
    std::vector<std::string> m_xNames, m_xLabels;
    std::vector<std::string> m_constNames, m_constLabels;
    int m_nUseParamDefs = 0;
    std::vector<std::string> m_paramDefs;
    CMyVector m_paramValues;
    CMyVector m_constValues;
    CMyVector m_xValues;
    double m_result = 0.0;
    CMyVector m_extraX;
    const std::atomic<bool>* m_pStop = nullptr;
    std::int64_t m_nBudget = kInstructionBudget;
};
