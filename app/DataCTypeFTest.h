// A column that compares two fits of the same data by the F test: a header
// for each analysis, then per data set the points, both chi-squares, F and
// its probability.
#pragma once

#include "data/DataColumnType.h"

#include <string>

class CMXResult;

class CDataCTypeFTest : public CDataColumnType {
    DECLARE_SERIAL(CDataCTypeFTest)
public:
    CDataCTypeFTest() : CDataCTypeFTest(-1) {}
    explicit CDataCTypeFTest(int column) : CDataColumnType(kTypeFTest, column) {}

    CData* Clone() const override { return new CDataCTypeFTest(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;
    int EditSettings(CDataTableItem* item) override;
    int HasSettings() const override { return 1; }
    int IsEditable() const override { return 0; }
    void OnNotify(CDataTableItem* item, CDataTableItem* subject, CUpdateNotification& note) override;
    std::vector<std::string> GetLinks() const override;
    void RestoreLinks(CDataTableItem* item, const std::vector<std::string>& links) override;

    CMXResult* GetFitItem1(CDataTableItem* item) const;
    CMXResult* GetFitItem2(CDataTableItem* item) const;

    // Version 0, the two fit names, the two last states.
    void Serialize(CArchive& ar) override;

    std::string m_strFit1;
    std::string m_strFit2;
    int m_nLastState1 = 0;
    int m_nLastState2 = 0;

protected:
    CDataCTypeFTest(const CDataCTypeFTest&) = default;
};
