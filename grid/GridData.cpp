#include "grid/GridData.h"

#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <cstring>

IMPLEMENT_SERIAL(CGridData, CObject, VERSIONABLE_SCHEMA | 0)

namespace {

// Bytes per stored element, for checking counts before anything is allocated.
constexpr std::uint64_t kMapEntryBytes = 8;
constexpr std::uint64_t kRangeBytes = 16;
constexpr std::uint64_t kCellBytes = 8;

void StoreSizeMap(CArchive& ar, const std::map<int, int>& map)
{
    ar.WriteCount(std::uint32_t(map.size()));
    for (const auto& [key, value] : map)
        ar << std::int32_t(key) << std::int32_t(value);
}

void LoadSizeMap(CArchive& ar, std::map<int, int>& map)
{
    map.clear();
    std::uint32_t n = ar.ReadCount();
    ar.CheckRemaining(n, kMapEntryBytes);
    for (std::uint32_t i = 0; i < n; ++i) {
        std::int32_t key = 0, value = 0;
        ar >> key >> value;
        map[key] = value;
    }
}

// Copies a UTF-8 face name into the fixed record, cut at a character boundary.
void SetFaceName(LOGFONT& font, const std::string& name)
{
    std::size_t n = name.size();
    if (n > LF_FACESIZE - 1) {
        n = LF_FACESIZE - 1;
        while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
            --n;
    }
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    std::memcpy(font.lfFaceName, name.data(), n);
}

} // namespace

COLORREF GridSysColor(int index)
{
    switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWFRAME: return RGB(0, 0, 0);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_BTNFACE: return RGB(192, 192, 192);
    case COLOR_BTNSHADOW: return RGB(128, 128, 128);
    case COLOR_GRAYTEXT: return RGB(128, 128, 128);
    case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    default: return RGB(0, 0, 0);
    }
}

const std::string& CGridData::SampleText()
{
    static const std::string text = LoadString(IDS_SAMPLE_TEXT);
    return text;
}

CGridData::CGridData()
    : m_crShadow(GridSysColor(COLOR_BTNSHADOW)), m_crFrame(GridSysColor(COLOR_WINDOWFRAME)),
      m_crText(GridSysColor(COLOR_WINDOWTEXT)), m_crBack1(GridSysColor(COLOR_WINDOW)),
      m_crBack2(GridSysColor(COLOR_WINDOW)), m_crBack3(GridSysColor(COLOR_WINDOW))
{
    SampleText();
    m_storedFont.lfHeight = 10;
    SetFaceName(m_storedFont, "system");
    m_workingFont = m_storedFont;
    RefreshSavedCopies();
}

CGridData::~CGridData() = default;

void CGridData::AddClassRange(const CGridRange& range, const CRuntimeClass* cls)
{
    m_classRanges.insert(m_classRanges.begin(), range);
    m_classRangeEntries.insert(m_classRangeEntries.begin(), CGridClassEntry{cls});
}

void CGridData::SetFont(int dpiY, const LOGFONT& font, int pointSize)
{
    LOGFONT f = font;
    if (pointSize != 0) {
        // Logical units are sixths of a pixel, so a point (1/72 inch) is
        // dpi * 6 / 72 = dpi / 12 units; with the zoom in percent the divisor
        // is 12 * 100 = 1200, which draws 10 pt at 100 % at exactly 10 pt.
        // In 64 bits, rounded to the nearest unit, and capped so that a damaged
        // size cannot overflow what is built from it.
        const std::int64_t product = std::int64_t(dpiY) * pointSize * GetEffectiveZoom();
        const std::int64_t magnitude = ((product < 0 ? -product : product) + 600) / 1200;
        const int height = int(magnitude > 1000000 ? 1000000 : magnitude);
        f.lfHeight = product < 0 ? height : -height;
    }
    m_workingFont = f;
    m_nDeviceFontHeight = MulDiv(f.lfHeight, 1, 6);
    if (f.lfHeight < 0 && m_nDeviceFontHeight == 0)
        m_nDeviceFontHeight = -1;
}

LOGFONT CGridData::GetDeviceFont() const
{
    LOGFONT f = m_workingFont;
    f.lfHeight = m_nDeviceFontHeight;
    f.lfWidth = MulDiv(f.lfWidth, 1, 6);
    return f;
}

void CGridData::RefreshSavedCopies()
{
    m_saved.option1 = m_bLiveTracking;
    m_saved.option2 = m_bGridLines;
    m_saved.option3 = m_nOption3;
    m_saved.headerColumns = m_nHeaderColumns;
    m_saved.frozenRows = m_nFrozenRows;
    m_saved.headerRows = m_nHeaderRows;
    m_saved.shadow = m_crShadow;
    m_saved.text = m_crText;
    m_saved.back1 = m_crBack1;
    m_saved.back2 = m_crBack2;
}

void CGridData::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        StoreSizeMap(ar, m_columnWidths);
        StoreSizeMap(ar, m_rowHeights);
        ar.WriteCount(std::uint32_t(m_ranges.size()));
        for (const CGridRange& r : m_ranges)
            ar << std::int32_t(r.left) << std::int32_t(r.top) << std::int32_t(r.right) << std::int32_t(r.bottom);
        ar.WriteCount(std::uint32_t(m_selectedCells.size()));
        for (const CGridCellRef& c : m_selectedCells)
            ar << std::int32_t(c.column) << std::int32_t(c.row);
        ArchiveStoreRect(ar, m_frameRect);
        for (int v : {m_nColumnCount, m_nRowCount, m_nFirstScrollableColumn, m_nFirstScrollableRow, m_nOptionWord,
                      m_bRowResize, m_bColumnResize, m_bKeepVertScrollBar, m_bKeepHorzScrollBar, m_bRowSelection,
                      m_bColumnSelection, m_bSelCells, m_bSelRows, m_bSelColumns, m_nDefaultRowHeight,
                      m_nDefaultColumnWidth, m_nFixedDefaultRowHeight, m_nFixedDefaultColumnWidth, m_bShowFocus,
                      m_bShowHighlight, m_nFitColumns})
            ar << std::int32_t(v);
        ar.WriteString(m_text);
        ar << std::int32_t(m_nResizeGrip) << std::int32_t(m_nSpareAfterGrip);
        ar << m_crShadow << m_crFrame << m_crText << m_crBack1 << m_crBack2;
        ar << std::int32_t(m_nPointSize);
        const LOGFONT& f = m_storedFont;
        ar << f.lfHeight << f.lfWidth << f.lfEscapement << f.lfOrientation << f.lfWeight;
        ar << f.lfItalic << f.lfUnderline << f.lfStrikeOut << f.lfCharSet << f.lfOutPrecision << f.lfClipPrecision
           << f.lfQuality << f.lfPitchAndFamily;
        ar.WriteString(std::string(f.lfFaceName, strnlen(f.lfFaceName, LF_FACESIZE)));
        for (int v : {m_bLiveTracking, m_bGridLines, m_nOption3, m_nHeaderColumns, m_nFrozenRows, m_nHeaderRows})
            ar << std::int32_t(v);
        ar << std::int32_t(m_nSpareA) << std::int32_t(m_nSpareC) << std::int32_t(m_nSpareD) << m_dwOptions;
        ar << std::int32_t(m_nCurrentColumn) << std::int32_t(m_nCurrentRow);
        for (int v : {m_nScrollLimitRows, m_nScrollLimitColumns, m_nVertScrollStep, m_nHorzScrollStep, m_bFirstView})
            ar << std::int32_t(v);
        for (int pane = 0; pane < 4; ++pane)
            ar << std::int32_t(m_leftColumn[pane]) << std::int32_t(m_topRow[pane]);
        ar << std::int32_t(m_nZoom);
        return;
    }

    LoadSizeMap(ar, m_columnWidths);
    LoadSizeMap(ar, m_rowHeights);
    {
        m_ranges.clear();
        std::uint32_t n = ar.ReadCount();
        ar.CheckRemaining(n, kRangeBytes);
        m_ranges.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            std::int32_t l = 0, t = 0, r = 0, b = 0;
            ar >> l >> t >> r >> b;
            m_ranges.push_back(CGridRange{l, t, r, b});
        }
    }
    {
        m_selectedCells.clear();
        std::uint32_t n = ar.ReadCount();
        ar.CheckRemaining(n, kCellBytes);
        m_selectedCells.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            std::int32_t c = 0, r = 0;
            ar >> c >> r;
            m_selectedCells.push_back(CGridCellRef{c, r, 0});
        }
    }
    ArchiveLoadRect(ar, m_frameRect);
    for (int* v : {&m_nColumnCount, &m_nRowCount, &m_nFirstScrollableColumn, &m_nFirstScrollableRow, &m_nOptionWord,
                   &m_bRowResize, &m_bColumnResize, &m_bKeepVertScrollBar, &m_bKeepHorzScrollBar, &m_bRowSelection,
                   &m_bColumnSelection, &m_bSelCells, &m_bSelRows, &m_bSelColumns, &m_nDefaultRowHeight,
                   &m_nDefaultColumnWidth, &m_nFixedDefaultRowHeight, &m_nFixedDefaultColumnWidth, &m_bShowFocus,
                   &m_bShowHighlight, &m_nFitColumns}) {
        std::int32_t x = 0;
        ar >> x;
        *v = x;
    }
    m_text = ar.ReadString();
    {
        std::int32_t grip = 0, word = 0;
        ar >> grip >> word;
        m_nResizeGrip = grip;
        m_nSpareAfterGrip = word;
    }
    ar >> m_crShadow >> m_crFrame >> m_crText >> m_crBack1 >> m_crBack2;
    {
        std::int32_t pt = 0;
        ar >> pt;
        m_nPointSize = pt;
    }
    LOGFONT& f = m_storedFont;
    ar >> f.lfHeight >> f.lfWidth >> f.lfEscapement >> f.lfOrientation >> f.lfWeight;
    ar >> f.lfItalic >> f.lfUnderline >> f.lfStrikeOut >> f.lfCharSet >> f.lfOutPrecision >> f.lfClipPrecision
        >> f.lfQuality >> f.lfPitchAndFamily;
    SetFaceName(f, ar.ReadString());
    for (int* v : {&m_bLiveTracking, &m_bGridLines, &m_nOption3, &m_nHeaderColumns, &m_nFrozenRows, &m_nHeaderRows}) {
        std::int32_t x = 0;
        ar >> x;
        *v = x;
    }
    for (int* v : {&m_nSpareA, &m_nSpareC, &m_nSpareD}) {
        std::int32_t x = 0;
        ar >> x;
        *v = x;
    }
    ar >> m_dwOptions;
    for (int* v : {&m_nCurrentColumn, &m_nCurrentRow, &m_nScrollLimitRows, &m_nScrollLimitColumns,
                   &m_nVertScrollStep, &m_nHorzScrollStep, &m_bFirstView}) {
        std::int32_t x = 0;
        ar >> x;
        *v = x;
    }
    for (int pane = 0; pane < 4; ++pane) {
        std::int32_t l = 0, t = 0;
        ar >> l >> t;
        m_leftColumn[pane] = l;
        m_topRow[pane] = t;
    }
    {
        std::int32_t z = 0;
        ar >> z;
        m_nZoom = z;
    }
    ClampLoadedValues();
    RefreshSavedCopies();
    m_workingFont = m_storedFont;
}

void CGridData::ClampLoadedValues()
{
    auto clamp = [](int& v, int low, int high) { v = v < low ? low : (v > high ? high : v); };
    clamp(m_nColumnCount, 0, kMaxIndex);
    clamp(m_nRowCount, 0, kMaxIndex);
    clamp(m_nFirstScrollableColumn, 0, kMaxIndex);
    clamp(m_nFirstScrollableRow, 0, kMaxIndex);
    clamp(m_nHeaderColumns, 0, kMaxIndex);
    clamp(m_nFrozenRows, 0, kMaxIndex);
    clamp(m_nHeaderRows, 0, kMaxIndex);
    for (int pane = 0; pane < 4; ++pane) {
        clamp(m_leftColumn[pane], 0, kMaxIndex);
        clamp(m_topRow[pane], 0, kMaxIndex);
    }
    clamp(m_nCurrentColumn, -1, kMaxIndex);
    clamp(m_nCurrentRow, -1, kMaxIndex);
    for (CGridRange& r : m_ranges) {
        clamp(r.left, -1, kMaxIndex);
        clamp(r.top, -1, kMaxIndex);
        clamp(r.right, -1, kMaxIndex);
        clamp(r.bottom, -1, kMaxIndex);
    }
    clamp(m_nScrollLimitRows, -1, kMaxIndex);
    clamp(m_nScrollLimitColumns, -1, kMaxIndex);
    clamp(m_nResizeGrip, 0, 32);
    clamp(m_nPointSize, 0, 1638);
    if (m_nZoom < 1 || m_nZoom > 10000)
        m_nZoom = 100;
    // Sizes beyond a hundred inches are damage, not layout.
    clamp(m_nDefaultRowHeight, 0, 100000);
    clamp(m_nDefaultColumnWidth, 0, 100000);
    clamp(m_nFixedDefaultRowHeight, 0, 100000);
    clamp(m_nFixedDefaultColumnWidth, 0, 100000);
    for (auto& [key, value] : m_columnWidths)
        clamp(value, 0, 100000);
    for (auto& [key, value] : m_rowHeights)
        clamp(value, 0, 100000);
}
