#include "graph/CatText.h"

#include "graph/DrawGraph.h"
#include "graph/XYAxis.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CXCatText, CXScaleText, 0)
IMPLEMENT_SERIAL(CYCatText, CYScaleText, 0)

std::vector<CTickLabel> CategoryLabels(const CXYAxis* axis)
{
    std::vector<CTickLabel> out;
    if (!axis)
        return out;
    const CCategoryAxisData& c = axis->m_category;
    const double min = axis->m_dMin, max = axis->m_dMax;
    if (!std::isfinite(min) || !std::isfinite(max) || max < min)
        return out;
    // Categories stand one unit apart whatever the tick interval, so the
    // names walk in steps of one category: a name stays at its category
    // when the ticks are set further apart.
    double start = min - std::fmod(min, 1.0);
    if (start < min)
        start += 1.0;
    const double span = std::trunc((max - start) * 1.000001);
    if (!(span >= 0.0) || span > double(CDrawGraph::kMaxCategories))
        return out;
    const long long last = static_cast<long long>(span);
    const double offset = c.ticksBetween ? 0.5 : 0.0;
    const long long step = std::max(1, c.labelInterval);
    for (long long i = std::max(1, c.labelStart) - 1; i <= last; i += step) {
        const std::string name = i < static_cast<long long>(c.labels.size()) ? c.labels[std::size_t(i)] : std::string();
        out.push_back(CTickLabel{start + double(i) + offset, name});
    }
    return out;
}
