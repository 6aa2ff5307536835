#include "framework/ArchiveHelpers.h"

#include "platform/CodePage.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>
#include <cstring>

namespace {

constexpr UINT kCharFormatSize = 60;
constexpr UINT kParaFormatSize = 156;

} // namespace

int SerializeVersion(CArchive& ar, int version)
{
    if (ar.IsStoring()) {
        ar << std::int32_t(version);
        return version;
    }
    return LoadVersion(ar, version);
}

void ThrowLaterVersion()
{
    ReportMessage(IDS_LATER_VERSION, {GetAppName()}, MB_OK | MB_ICONEXCLAMATION, IDS_LATER_VERSION);
    ThrowArchiveError(CArchiveException::genericException);
}

void ArchiveStoreLong(CArchive& ar, LONG value) { ar << std::int32_t(value); }
void ArchiveLoadLong(CArchive& ar, LONG& value) { ar >> value; }

void ArchiveStoreShortAsLong(CArchive& ar, short value) { ar << std::int32_t(value); }
void ArchiveLoadShortAsLong(CArchive& ar, short& value)
{
    std::int32_t v = 0;
    ar >> v;
    value = short(std::uint16_t(std::uint32_t(v) & 0xFFFF));
}

void ArchiveStoreBool(CArchive& ar, bool value) { ar << std::int32_t(value ? 1 : 0); }
void ArchiveLoadBool(CArchive& ar, bool& value)
{
    std::int32_t v = 0;
    ar >> v;
    value = v != 0;
}

void ArchiveStorePair(CArchive& ar, LONG first, LONG second) { ar << first << second; }
void ArchiveLoadPair(CArchive& ar, LONG& first, LONG& second) { ar >> first >> second; }

void ArchiveStoreSize(CArchive& ar, const SIZE& s) { ar << s.cx << s.cy; }
void ArchiveLoadSize(CArchive& ar, SIZE& s) { ar >> s.cx >> s.cy; }
void ArchiveStorePoint(CArchive& ar, const POINT& p) { ar << p.x << p.y; }
void ArchiveLoadPoint(CArchive& ar, POINT& p) { ar >> p.x >> p.y; }
void ArchiveStoreRect(CArchive& ar, const RECT& r) { ar << r.left << r.top << r.right << r.bottom; }
void ArchiveLoadRect(CArchive& ar, RECT& r) { ar >> r.left >> r.top >> r.right >> r.bottom; }

void ArchiveStoreSystemTime(CArchive& ar, const SYSTEMTIME& t)
{
    ar << t.wYear << t.wMonth << t.wDayOfWeek << t.wDay << t.wHour << t.wMinute << t.wSecond << t.wMilliseconds;
}
void ArchiveLoadSystemTime(CArchive& ar, SYSTEMTIME& t)
{
    ar >> t.wYear >> t.wMonth >> t.wDayOfWeek >> t.wDay >> t.wHour >> t.wMinute >> t.wSecond >> t.wMilliseconds;
}

void ArchiveStoreWindowPlacement(CArchive& ar, const WINDOWPLACEMENT& w)
{
    ar << w.length << w.flags << w.showCmd;
    ArchiveStorePoint(ar, w.ptMinPosition);
    ArchiveStorePoint(ar, w.ptMaxPosition);
    ArchiveStoreRect(ar, w.rcNormalPosition);
}
void ArchiveLoadWindowPlacement(CArchive& ar, WINDOWPLACEMENT& w)
{
    ar >> w.length >> w.flags >> w.showCmd;
    ArchiveLoadPoint(ar, w.ptMinPosition);
    ArchiveLoadPoint(ar, w.ptMaxPosition);
    ArchiveLoadRect(ar, w.rcNormalPosition);
}

void ArchiveStoreString(CArchive& ar, const char* text, int maxStored)
{
    std::size_t len = strnlen(text, std::size_t(maxStored) + 1 > LF_FACESIZE ? std::size_t(maxStored) + 1 : LF_FACESIZE);
    std::string bytes = Utf8ToCp1252(std::string_view(text, len));
    if (bytes.size() > std::size_t(maxStored))
        bytes.resize(std::size_t(maxStored));
    ar << std::int32_t(bytes.size());
    bytes.push_back('\0');
    ar.Write(bytes.data(), bytes.size());
}

void ArchiveLoadString(CArchive& ar, char* out, int outSize)
{
    std::int32_t n = 0;
    ar >> n;
    // The field holds outSize - 1 characters and the NUL; anything longer is damage.
    if (n < 0 || n >= outSize)
        ThrowArchiveError();
    ar.CheckRemaining(std::uint64_t(n) + 1);
    std::string bytes(std::size_t(n) + 1, '\0');
    ar.ReadExact(bytes.data(), bytes.size());
    bytes.resize(strnlen(bytes.data(), bytes.size()));
    std::string utf8 = Cp1252ToUtf8(bytes);
    // Characters outside ASCII take more room in UTF-8: cut at a character boundary.
    std::size_t keep = std::min<std::size_t>(utf8.size(), std::size_t(outSize) - 1);
    while (keep > 0 && keep < utf8.size() && (static_cast<unsigned char>(utf8[keep]) & 0xC0) == 0x80)
        --keep;
    std::memset(out, 0, std::size_t(outSize));
    std::memcpy(out, utf8.data(), keep);
}

void ArchiveStoreLogFont(CArchive& ar, const LOGFONT& f)
{
    ar << f.lfHeight << f.lfWidth << f.lfEscapement << f.lfOrientation << f.lfWeight;
    ar << f.lfItalic << f.lfUnderline << f.lfStrikeOut << f.lfCharSet << f.lfOutPrecision << f.lfClipPrecision
       << f.lfQuality << f.lfPitchAndFamily;
    ArchiveStoreString(ar, f.lfFaceName);
}
void ArchiveLoadLogFont(CArchive& ar, LOGFONT& f)
{
    ar >> f.lfHeight >> f.lfWidth >> f.lfEscapement >> f.lfOrientation >> f.lfWeight;
    ar >> f.lfItalic >> f.lfUnderline >> f.lfStrikeOut >> f.lfCharSet >> f.lfOutPrecision >> f.lfClipPrecision
        >> f.lfQuality >> f.lfPitchAndFamily;
    ArchiveLoadString(ar, f.lfFaceName, LF_FACESIZE);
}

void ArchiveStoreCharFormat(CArchive& ar, const CHARFORMAT& f)
{
    ar << f.cbSize << f.dwMask << f.dwEffects << f.yHeight << f.yOffset << f.crTextColor;
    ar << f.bCharSet << f.bPitchAndFamily;
    ArchiveStoreString(ar, f.szFaceName);
}
void ArchiveLoadCharFormat(CArchive& ar, CHARFORMAT& f)
{
    // The whole record is read before its size is judged, so a refused record is consumed.
    ar >> f.cbSize >> f.dwMask >> f.dwEffects >> f.yHeight >> f.yOffset >> f.crTextColor;
    ar >> f.bCharSet >> f.bPitchAndFamily;
    ArchiveLoadString(ar, f.szFaceName, LF_FACESIZE);
    if (f.cbSize != kCharFormatSize)
        ThrowArchiveError(CArchiveException::genericException, "Bad CHARFORMAT");
}

void ArchiveStoreParaFormat(CArchive& ar, const PARAFORMAT& f)
{
    ar << f.cbSize << f.dwMask << f.wNumbering << f.wReserved << f.dxStartIndent << f.dxRightIndent << f.dxOffset;
    // The alignment takes a full 32-bit slot, like the tab count: the record is 32 bytes before its tabs.
    ar << std::int32_t(f.wAlignment) << std::int32_t(f.cTabCount);
    int tabs = f.cTabCount < 0 ? 0 : f.cTabCount > MAX_TAB_STOPS ? MAX_TAB_STOPS : f.cTabCount;
    for (int i = 0; i < tabs; ++i)
        ar << f.rgxTabs[i];
}
void ArchiveLoadParaFormat(CArchive& ar, PARAFORMAT& f)
{
    std::int32_t alignment = 0, tabs = 0;
    ar >> f.cbSize >> f.dwMask >> f.wNumbering >> f.wReserved >> f.dxStartIndent >> f.dxRightIndent >> f.dxOffset;
    ar >> alignment >> tabs;
    f.wAlignment = WORD(alignment & 0xFFFF);
    if (f.cbSize != kParaFormatSize)
        ThrowArchiveError(CArchiveException::genericException, "Bad PARAFORMAT");
    if (tabs < 0 || tabs > MAX_TAB_STOPS)
        ThrowArchiveError();
    f.cTabCount = short(tabs);
    for (int i = 0; i < tabs; ++i)
        ar >> f.rgxTabs[i];
    for (int i = tabs; i < MAX_TAB_STOPS; ++i)
        f.rgxTabs[i] = 0;
}

void ArchiveStoreIntDouble(CArchive& ar, const IntDoubleRecord& r) { ar << r.n << r.value; }
void ArchiveLoadIntDouble(CArchive& ar, IntDoubleRecord& r) { ar >> r.n >> r.value; }
void ArchiveStoreTriple(CArchive& ar, const TripleRecord& r) { ar << r.a << r.b << r.c; }
void ArchiveLoadTriple(CArchive& ar, TripleRecord& r) { ar >> r.a >> r.b >> r.c; }
void ArchiveStoreTriple(CArchive& ar, const LOGBRUSH& b) { ar << b.lbStyle << b.lbColor << b.lbHatch; }
void ArchiveLoadTriple(CArchive& ar, LOGBRUSH& b) { ar >> b.lbStyle >> b.lbColor >> b.lbHatch; }

CArchive& operator<<(CArchive& ar, short v) { ArchiveStoreShortAsLong(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, short& v) { ArchiveLoadShortAsLong(ar, v); return ar; }
CArchive& operator<<(CArchive& ar, bool v) { ArchiveStoreBool(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, bool& v) { ArchiveLoadBool(ar, v); return ar; }
CArchive& operator<<(CArchive& ar, const SIZE& v) { ArchiveStoreSize(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, SIZE& v) { ArchiveLoadSize(ar, v); return ar; }
CArchive& operator<<(CArchive& ar, const POINT& v) { ArchiveStorePoint(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, POINT& v) { ArchiveLoadPoint(ar, v); return ar; }
CArchive& operator<<(CArchive& ar, const RECT& v) { ArchiveStoreRect(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, RECT& v) { ArchiveLoadRect(ar, v); return ar; }
CArchive& operator<<(CArchive& ar, const SYSTEMTIME& v) { ArchiveStoreSystemTime(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, SYSTEMTIME& v) { ArchiveLoadSystemTime(ar, v); return ar; }
CArchive& operator<<(CArchive& ar, const WINDOWPLACEMENT& v) { ArchiveStoreWindowPlacement(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, WINDOWPLACEMENT& v) { ArchiveLoadWindowPlacement(ar, v); return ar; }
CArchive& operator<<(CArchive& ar, const LOGFONT& v) { ArchiveStoreLogFont(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, LOGFONT& v) { ArchiveLoadLogFont(ar, v); return ar; }
CArchive& operator<<(CArchive& ar, const CHARFORMAT& v) { ArchiveStoreCharFormat(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, CHARFORMAT& v) { ArchiveLoadCharFormat(ar, v); return ar; }
CArchive& operator<<(CArchive& ar, const PARAFORMAT& v) { ArchiveStoreParaFormat(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, PARAFORMAT& v) { ArchiveLoadParaFormat(ar, v); return ar; }
CArchive& operator<<(CArchive& ar, const IntDoubleRecord& v) { ArchiveStoreIntDouble(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, IntDoubleRecord& v) { ArchiveLoadIntDouble(ar, v); return ar; }
CArchive& operator<<(CArchive& ar, const TripleRecord& v) { ArchiveStoreTriple(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, TripleRecord& v) { ArchiveLoadTriple(ar, v); return ar; }
CArchive& operator<<(CArchive& ar, const LOGBRUSH& v) { ArchiveStoreTriple(ar, v); return ar; }
CArchive& operator>>(CArchive& ar, LOGBRUSH& v) { ArchiveLoadTriple(ar, v); return ar; }

// The stored form is the little-endian IEEE layout the host keeps in memory,
// so whole arrays move in one transfer.
static_assert(std::endian::native == std::endian::little && sizeof(double) == 8);

void ArchiveStoreDoubles(CArchive& ar, const double* values, int n)
{
    if (n > 0)
        ar.Write(values, std::size_t(n) * sizeof(double));
}

void ArchiveLoadDoubles(CArchive& ar, double* values, int n)
{
    if (n < 1)
        return;
    ar.CheckRemaining(std::uint64_t(n), sizeof(double));
    ar.ReadExact(values, std::size_t(n) * sizeof(double));
}

void ArchiveStoreInts(CArchive& ar, const std::vector<int>& values)
{
    ar.WriteCount(std::uint32_t(values.size()));
    for (int v : values)
        ar << std::int32_t(v);
}

void ArchiveLoadInts(CArchive& ar, std::vector<int>& values)
{
    const std::uint32_t n = ar.ReadCount();
    ar.CheckRemaining(n, 4);
    values.assign(n, 0);
    for (int& v : values) {
        std::int32_t i = 0;
        ar >> i;
        v = i;
    }
}

void ArchiveStorePairs(CArchive& ar, const POINT* pairs, int n)
{
    for (int i = 0; i < n; ++i)
        ar << pairs[i].x << pairs[i].y;
}

void ArchiveLoadPairs(CArchive& ar, POINT* pairs, int n)
{
    if (n < 1)
        return;
    ar.CheckRemaining(std::uint64_t(n), 8);
    for (int i = 0; i < n; ++i)
        ar >> pairs[i].x >> pairs[i].y;
}

void ArchiveSerializeObjects(CArchive& ar, CObject* const* objects, int n)
{
    for (int i = 0; i < n; ++i)
        objects[i]->Serialize(ar);
}

void ArchiveStoreObjects(CArchive& ar, CObject* const* objects, int n)
{
    for (int i = 0; i < n; ++i)
        ar.WriteObject(objects[i]);
}

void ArchiveLoadObjects(CArchive& ar, CObject** objects, int n, const CRuntimeClass* expected)
{
    // Each object is owned by its slot: a second reference to one read
    // before would make two owners.
    for (int i = 0; i < n; ++i) {
        bool isNew = false;
        objects[i] = ar.ReadObject(expected, isNew);
        if (objects[i] && !isNew) {
            objects[i] = nullptr;
            ThrowArchiveError(CArchiveException::badIndex, "an object is stored twice");
        }
    }
}

void DeleteObjects(CObject** objects, int n)
{
    for (int i = 0; i < n; ++i) {
        delete objects[i];
        objects[i] = nullptr;
    }
}

void FillBlankDoubles(double* values, int n)
{
    for (int i = 0; i < n; ++i)
        values[i] = BlankValue();
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int x = static_cast<unsigned char>(a[i]);
        int y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return x - y;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

namespace {

template <class Less>
void HeapSortIndex(int* index, int n, Less less)
{
    for (int i = 0; i < n; ++i)
        index[i] = i;
    if (n < 2)
        return;
    auto siftDown = [&](int root, int end) {
        while (2 * root + 1 < end) {
            int child = 2 * root + 1;
            if (child + 1 < end && less(index[child], index[child + 1]))
                ++child;
            if (!less(index[root], index[child]))
                return;
            std::swap(index[root], index[child]);
            root = child;
        }
    };
    for (int start = n / 2 - 1; start >= 0; --start)
        siftDown(start, n);
    for (int end = n - 1; end > 0; --end) {
        std::swap(index[0], index[end]);
        siftDown(0, end);
    }
}

bool SortsLast(double v) { return IsBlank(v) || std::isnan(v); }

} // namespace

void SortIndexByString(int* index, const std::string* values, int n)
{
    HeapSortIndex(index, n, [values](int a, int b) { return CompareNoCase(values[a], values[b]) < 0; });
}

void SortIndexByValue(int* index, const double* values, int n)
{
    HeapSortIndex(index, n, [values](int a, int b) {
        double x = values[a], y = values[b];
        if (std::isnan(x) || std::isnan(y))
            return !std::isnan(x) && std::isnan(y);
        return x < y;
    });
}

std::uint64_t BlanksLastKey(double v)
{
    if (SortsLast(v))
        return ~std::uint64_t(0);
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(v == 0.0 ? 0.0 : v);
    return bits >> 63 ? ~bits : bits | (std::uint64_t(1) << 63);
}

namespace {

// Sorts items by key with an in-place most-significant-digit radix sort
// (the "American flag" sort of McIlroy, Bostic and McIlroy, "Engineering
// radix sort", Computing Systems 6, 1993): each digit of up to 11 bits is
// taken from the highest bit where the keys still differ, the items move
// to their buckets by cycles of swaps, and buckets of a few items go to a
// comparison sort. No second array is needed: a large sort touches no more
// memory than its keys.
void FlagSort(SSortItem* items, std::size_t n)
{
    constexpr std::size_t kSmall = 64;
    auto byKey = [](const SSortItem& a, const SSortItem& b) { return a.key < b.key; };
    if (n <= kSmall) {
        std::sort(items, items + n, byKey);
        return;
    }
    std::uint64_t differ = 0;
    for (std::size_t i = 1; i < n; ++i)
        differ |= items[i].key ^ items[0].key;
    if (!differ)
        return; // all keys equal: nothing to order
    const int high = 63 - std::countl_zero(differ);
    const int low = std::max(0, high - 10);
    const std::size_t buckets = std::size_t(1) << (high - low + 1);
    auto digit = [&](const SSortItem& item) { return std::size_t(item.key >> low) & (buckets - 1); };
    std::size_t heads[2048], ends[2048];
    std::fill(ends, ends + buckets, 0);
    for (std::size_t i = 0; i < n; ++i)
        ++ends[digit(items[i])];
    std::size_t sum = 0;
    for (std::size_t b = 0; b < buckets; ++b) {
        heads[b] = sum;
        sum += ends[b];
        ends[b] = sum;
    }
    for (std::size_t b = 0; b < buckets; ++b) {
        while (heads[b] < ends[b]) {
            SSortItem item = items[heads[b]];
            std::size_t d = digit(item);
            while (d != b) {
                std::swap(item, items[heads[d]++]);
                d = digit(item);
            }
            items[heads[b]++] = item;
        }
    }
    std::size_t from = 0;
    for (std::size_t b = 0; b < buckets; ++b) {
        FlagSort(items + from, ends[b] - from);
        from = ends[b];
    }
}

} // namespace

void SortIndexByKeys(std::span<SSortItem> items, int* order)
{
    const int n = int(items.size());
    // Large sorts of distinct keys (the usual column of measurements) take
    // the radix road: without equal keys every sort gives the one order.
    // Equal keys keep the heap sort, whose order among them is the one the
    // program has always given.
    constexpr std::size_t kRadixFrom = 4096;
    if (items.size() >= kRadixFrom) {
        FlagSort(items.data(), items.size());
        bool distinct = true;
        for (std::size_t i = 1; i < items.size() && distinct; ++i)
            distinct = items[i].key != items[i - 1].key;
        if (distinct) {
            for (std::size_t i = 0; i < items.size(); ++i)
                order[i] = items[i].index;
            return;
        }
    }
    // The keys compare as the values they stand for: a blank is never less
    // than anything, every number is less than a blank.
    std::vector<std::uint64_t> keys(items.size());
    for (const SSortItem& item : items)
        keys[std::size_t(item.index)] = item.key;
    HeapSortIndex(order, n, [&keys](int a, int b) { return keys[std::size_t(a)] < keys[std::size_t(b)]; });
}

void SortIndexByValueBlanksLast(int* index, const double* values, int n)
{
    std::vector<SSortItem> items(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i)
        items[std::size_t(i)] = {BlanksLastKey(values[i]), i};
    SortIndexByKeys(items, index);
}
