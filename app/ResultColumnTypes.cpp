// The column kinds that show results of other workspace items are built here,
// above the table model; they join the table model's factory when this
// library is loaded, so that a table creates them by number.
#include "app/DataCTypeCalc.h"
#include "app/DataCTypeDiff.h"
#include "app/DataCTypeEqn.h"
#include "app/DataCTypeFTest.h"
#include "app/DataCTypeFitResults.h"

namespace {

template <class T>
CDataColumnType* Make(int column)
{
    return new T(column);
}

const bool g_registered = [] {
    RegisterColumnType(kTypeCalcX, &Make<CDataCTypeCalcX>);
    RegisterColumnType(kTypeCalcY, &Make<CDataCTypeCalcY>);
    RegisterColumnType(kTypeDifference, &Make<CDataCTypeDiff>);
    RegisterColumnType(kTypeFitResults, &Make<CDataCTypeFitResults>);
    RegisterColumnType(kTypeFitInfo, &Make<CDataCTypeFitInfo>);
    RegisterColumnType(kTypeFTest, &Make<CDataCTypeFTest>);
    RegisterColumnType(kTypeParameters, &Make<CDataCTypeParameters>);
    RegisterColumnType(kTypeConstants, &Make<CDataCTypeConstants>);
    return true;
}();

} // namespace
