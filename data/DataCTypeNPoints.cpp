#include "data/DataCTypeNPoints.h"

IMPLEMENT_SERIAL(CDataCTypeNPoints, CDataCTypeMultiColumn, VERSIONABLE_SCHEMA | 0)

void CDataCTypeNPoints::ComputeValue(int row, CDataTableItem* item, BOOL updateViews)
{
    // A row without numbers stays empty rather than showing 0.
    ComputeStatistic(row, item, updateViews, [](const std::vector<double>& x, double& value) {
        value = double(x.size());
        return !x.empty();
    });
}
