// A column of a fit's residuals: each row's experimental y minus the fitted
// y at its x, taken from the fit's own data columns.
#pragma once

#include "data/DataColumnType.h"

#include <string>

class CMXResult;

class CDataCTypeDiff : public CDataColumnType {
    DECLARE_SERIAL(CDataCTypeDiff)
public:
    CDataCTypeDiff() : CDataCTypeDiff(-1) {}
    explicit CDataCTypeDiff(int column) : CDataColumnType(kTypeDifference, column) {}

    CData* Clone() const override { return new CDataCTypeDiff(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;
    int EditSettings(CDataTableItem* item) override;
    int HasSettings() const override { return 1; }
    int IsEditable() const override { return 0; }
    void OnNotify(CDataTableItem* item, CDataTableItem* subject, CUpdateNotification& note) override;
    std::vector<std::string> GetLinks() const override;
    void RestoreLinks(CDataTableItem* item, const std::vector<std::string>& links) override;

    CMXResult* GetFitItem(CDataTableItem* item) const;
    UINT GetStatus(CDataTableItem* item) const;

    // Version 0, fit name, status, fit number.
    void Serialize(CArchive& ar) override;

    std::string m_strFit;
    UINT m_nStatus = 482;
    int m_nFit = 0;

protected:
    CDataCTypeDiff(const CDataCTypeDiff&) = default;
};
