// Columns that combine two columns A and B row by row: A + B and its
// variants A - B, A . B and A / B.
#pragma once

#include "data/DataColumnType.h"
#include "platform/StringIds.h"

class CDataCTypePair : public CDataColumnType {
    DECLARE_SERIAL(CDataCTypePair)
public:
    CDataCTypePair() : CDataCTypePair(-1) {}
    explicit CDataCTypePair(int column) : CDataCTypePair(kTypePairPlus, column, IDS_CALCULATE_A_PLUS_B) {}

    CData* Clone() const override { return new CDataCTypePair(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;
    int EditSettings(CDataTableItem* item) override;
    int HasSettings() const override { return 1; }
    int IsEditable() const override { return 0; }
    void PropagateChange(CDataTableItem* changedItem, CDataTableItem* ownItem, int column,
                         std::vector<CDataColumnRef>& changes, std::map<int, int>& visited) override;
    using CDataColumnType::DependsOn;
    int DependsOn(CDataTableItem* item, int column, CDataTableItem* ownItem, std::set<int>& walked) const override;
    void OnColumnsDeleted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count) override;
    void OnColumnsInserted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count) override;
    void Serialize(CArchive& ar) override;

    // One row's number from its numbers a and b; false when there is none
    // (a division by zero), and the row then shows the error text.
    virtual bool Combine(double a, double b, double& value) const;
    // Sets A and B; 0, or the message id (208, 209) when one is unusable.
    UINT SetColumns(CDataTableItem* item, int a, int b);

    int m_columnA = -1;
    int m_columnB = -1;
    int m_captionId;

protected:
    CDataCTypePair(int type, int column, int captionId) : CDataColumnType(type, column), m_captionId(captionId) {}
    CDataCTypePair(const CDataCTypePair&) = default;
};

#define MX_DECLARE_PAIR_KIND(cls, type, caption)                                              \
    class cls : public CDataCTypePair {                                                       \
        DECLARE_SERIAL(cls)                                                                   \
    public:                                                                                   \
        cls() : cls(-1) {}                                                                    \
        explicit cls(int column) : CDataCTypePair(type, column, caption) {}                   \
        CData* Clone() const override { return new cls(*this); }                              \
        bool Combine(double a, double b, double& value) const override;                       \
                                                                                              \
    protected:                                                                                \
        cls(const cls&) = default;                                                            \
    };

MX_DECLARE_PAIR_KIND(CDataCTypePairMinus, kTypePairMinus, IDS_CALCULATE_A_MINUS_B)
MX_DECLARE_PAIR_KIND(CDataCTypePairDiv, kTypePairDiv, IDS_CALCULATE_A_DIVIDED_BY_B)
MX_DECLARE_PAIR_KIND(CDataCTypePairMult, kTypePairMult, IDS_CALCULATE_A_DOT_B)
#undef MX_DECLARE_PAIR_KIND
