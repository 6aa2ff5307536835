// The linear-fit item: a weighted least-squares polynomial of order 1 to 8
// fitted to each data set of the selection.
#pragma once

#include "app/MXResult.h"
#include "platform/StringIds.h"

class CLinearFit;

class CMXLinear : public CMXResult {
    DECLARE_SERIAL(CMXLinear)
public:
    CMXLinear();
    explicit CMXLinear(CProjectDocBase* document);

    void GetTypeName(std::string& out) const override;
    int GetKindFlag() const override { return KIND_LINEAR; }
    int GetStoreIconIndex() const override { return 6; }
    int GetLargeBitmapID() const override { return 358; }
    int GetSmallBitmapID() const override { return 359; }
    UINT GetNamePatternID() const override { return IDS_LINEAR_FIT_NAME_PATTERN; }
    UINT GetTypeTextID() const override { return IDS_LINEAR_FIT_TYPE_TEXT; }

    int GetOrder() const override { return m_nOrder; }
    void SetOrder(int order) { m_nOrder = std::clamp(order, 1, kMaxOrder); }
    int GetParameterCount() const override { return m_nOrder + 1; }
    bool GetParameter(int set, int p, double& value, double& error) const override;
    void GetParameterName(int p, std::string& name) const override;
    int GetSummaryCount() const override { return 6; }
    int GetSummaryValue(int set, int row, std::string& label, std::string& text, double& number) const override;
    void GetEquationTitle(std::string& text) const override;
    int AsksForLimits() const override { return m_nOrder == 1 ? 0 : 1; }

    // Version 0, the fit item's record, the order.
    void Serialize(CArchive& ar) override;

    static constexpr int kMaxOrder = 8;

protected:
    std::unique_ptr<CFit> MakeEngine() const override;
    void SerializeSettings(CArchive& ar) override;

private:
    CLinearFit* GetLinearFit(int set) const;
    int m_nOrder = 1;
};
