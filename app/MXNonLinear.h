// The non-linear fit item: the Marquardt fit of an equation item's equation
// to each data set, with the fitting criteria, initial-estimate ranges and
// explicit estimates that the item keeps.
#pragma once

#include "app/MXResult.h"
#include "fitting/EquationSource.h"
#include "framework/MyVector.h"
#include "platform/StringIds.h"

class CNonlinearFit;

class CMXNonLinear : public CMXResult, public CEquationSource {
    DECLARE_SERIAL(CMXNonLinear)
public:
    CMXNonLinear();
    // A new item: its criteria come from the profile.
    explicit CMXNonLinear(CProjectDocBase* document);

    void GetTypeName(std::string& out) const override;
    int GetKindFlag() const override { return KIND_NONLINEAR; }
    int GetStoreIconIndex() const override { return 7; }
    int GetLargeBitmapID() const override { return 360; }
    int GetSmallBitmapID() const override { return 361; }
    UINT GetNamePatternID() const override { return IDS_NONLINEAR_FIT_NAME_PATTERN; }
    UINT GetTypeTextID() const override { return IDS_NONLINEAR_FIT_TYPE_TEXT; }

    int PrepareFit(int report) override;
    int GetParameterCount() const override;
    bool GetParameter(int set, int p, double& value, double& error) const override;
    void GetParameterName(int p, std::string& name) const override;
    int GetSummaryCount() const override { return 5; }
    int GetSummaryValue(int set, int row, std::string& label, std::string& text, double& number) const override;
    void GetEquationTitle(std::string& text) const override { text = m_strEquation; }
    std::string GetDescription() const override { return m_strEquation; }
    std::optional<CFitValue> CalcY(double x, int set, bool useEstimates) override;
    std::optional<CFitValue> CalcX(double y, double x1, double x2, int set, bool useEstimates) override;
    int OffersInitialEstimates() const override { return 1; }
    // The equation of the equation item of that name, when it is usable.
    CEquationBase* GetEquation() override;
    const CEquationBase* FindEquation(const std::string& name) const override;
    // What graphs read: the equation item's equation, valid, for every fit record.
    const CEquationBase* GetFitEquation(int fit, std::string& itemName) const override;
    // Whether set's fit ran to its maximum iterations without meeting the chi-square criterion.
    bool IsIterationLimitReached(int set) const;
    // A fit that stopped at its iteration limit says so in its status.
    std::string GetStateText() const override;
    CNonlinearFit* GetNonlinearFit(int set) const;

    const std::string& GetEquationName() const { return m_strEquation; }
    void SetEquationName(const std::string& name) { m_strEquation = name; }

    // Fitting criteria, profile section "Fitting Criteria".
    void LoadCriteria();
    void SaveCriteria() const;
    void SetDefaultCriteria();

    // Initial-estimate ranges per parameter.
    double GetRangeFrom(int p) const;
    double GetRangeTo(int p) const;
    int GetRangeSteps(int p) const;
    int GetRangeCode(int p) const;
    void SetRangeFrom(int p, double value);
    void SetRangeTo(int p, double value);
    void SetRangeSteps(int p, int steps);
    // p = -1 empties the codes.
    void SetRangeCode(int p, int code);
    // Value i of the n values of p's range: geometric between two numbers of one sign, else linear.
    double GetRangeValue(int p, int i) const;
    double GetParamEstimate(int p) const;
    void SetParamEstimate(int p, double value);
    // Whether the estimate ranges are searched even when the equation gives
    // its own starting values (bit 1 of the fit option).
    bool GetEstimatesFromMatrix() const { return (m_nFitOption & kOptionMatrix) != 0; }
    void SetEstimatesFromMatrix(bool on) { m_nFitOption = on ? m_nFitOption | kOptionMatrix : m_nFitOption & ~kOptionMatrix; }
    bool GetRobust() const { return (m_nFitOption & kOptionRobust) != 0; }
    void SetRobust(bool on) { m_nFitOption = on ? m_nFitOption | kOptionRobust : m_nFitOption & ~kOptionRobust; }

    // The value of constant i for this fit: the fit's own once set, else the equation's.
    double GetConstantValue(int i) const;
    void SetConstantValue(int i, double value);

    void OnItemNotify(CUpdateNotification& note) override;

    void Serialize(CArchive& ar) override;

    static constexpr int kOptionRobust = 1;
    static constexpr int kOptionMatrix = 2;
    int m_nFitOption = 0; // bit 0: biweight re-weighting; bit 1: estimates from the ranges
    int m_nChiSqChange = 1;
    double m_dChiSqChangePercent = 1.0;
    int m_nMinIterations = 2;
    int m_nMaxIterations = 20;
    int m_nLastCriterion = 0;

protected:
    std::unique_ptr<CFit> MakeEngine() const override;
    CFitSettings MakeSettings() const override;
    int GetXVariableCount() const override;
    void PrepareJob(SFitJob& job) const override;
    void OnPublished() override;
    void SerializeSettings(CArchive& ar) override;

private:
    CMyVector m_rangeFrom;
    CMyVector m_rangeTo;
    std::vector<int> m_rangeCodes;
    std::vector<int> m_rangeSteps;
    CMyVector m_estimates;
    // The fit's own values of the equation's constants; blank where the equation's value holds.
    CMyVector m_constants;
    std::string m_strEquation;
};
