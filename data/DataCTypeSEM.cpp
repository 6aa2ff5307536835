#include "data/DataCTypeSEM.h"

#include "data/ColumnStatistics.h"

#include <cmath>

IMPLEMENT_SERIAL(CDataCTypeSEM, CDataCTypeMultiColumn, VERSIONABLE_SCHEMA | 0)

void CDataCTypeSEM::ComputeValue(int row, CDataTableItem* item, BOOL updateViews)
{
    ComputeStatistic(row, item, updateViews, [](const std::vector<double>& x, double& value) {
        if (x.size() < 2)
            return false;
        value = std::sqrt(ComputeSampleStatistics(x.data(), x.size()).variance) / std::sqrt(double(x.size()));
        return true;
    });
}
