// Version words and the stored layout of the plain records that every stored
// class shares, with the blank value, bulk transfers and index sorts that
// live beside them. All of it is file format: widths and order are fixed.
#pragma once

#include "platform/Archive.h"
#include "platform/Types.h"

#include <bit>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CObject;

// Writes version when storing and returns it; when loading, reads the stored
// word and returns it, or reports string 25016 and throws a generic archive
// exception when it is newer than version.
int SerializeVersion(CArchive& ar, int version);
// Reports a stored version later than this program knows and throws, as
// SerializeVersion does when it reads one.
[[noreturn]] void ThrowLaterVersion();
// The loading side of SerializeVersion, inline for readers of millions of
// small records (a table's cells).
inline int LoadVersion(CArchive& ar, int version)
{
    std::int32_t stored = 0;
    ar >> stored;
    if (stored > version)
        ThrowLaterVersion();
    return stored;
}

// Integer and double in one record: a set flag (or count) and its value.
struct IntDoubleRecord {
    LONG n = 0;
    double value = 0.0;
    friend bool operator==(const IntDoubleRecord&, const IntDoubleRecord&) = default;
};

// Three 32-bit fields, in declaration order.
struct TripleRecord {
    LONG a = 0;
    LONG b = 0;
    LONG c = 0;
    friend bool operator==(const TripleRecord&, const TripleRecord&) = default;
};

void ArchiveStoreLong(CArchive& ar, LONG value);
void ArchiveLoadLong(CArchive& ar, LONG& value);
void ArchiveStoreShortAsLong(CArchive& ar, short value);
void ArchiveLoadShortAsLong(CArchive& ar, short& value);
void ArchiveStoreBool(CArchive& ar, bool value);
void ArchiveLoadBool(CArchive& ar, bool& value);
void ArchiveStorePair(CArchive& ar, LONG first, LONG second);
void ArchiveLoadPair(CArchive& ar, LONG& first, LONG& second);
void ArchiveStoreSize(CArchive& ar, const SIZE& size);
void ArchiveLoadSize(CArchive& ar, SIZE& size);
void ArchiveStorePoint(CArchive& ar, const POINT& point);
void ArchiveLoadPoint(CArchive& ar, POINT& point);
void ArchiveStoreRect(CArchive& ar, const RECT& rect);
void ArchiveLoadRect(CArchive& ar, RECT& rect);
void ArchiveStoreSystemTime(CArchive& ar, const SYSTEMTIME& time);
void ArchiveLoadSystemTime(CArchive& ar, SYSTEMTIME& time);
void ArchiveStoreWindowPlacement(CArchive& ar, const WINDOWPLACEMENT& placement);
void ArchiveLoadWindowPlacement(CArchive& ar, WINDOWPLACEMENT& placement);
// Counted byte string: int32 length n (without the NUL), then n bytes and the NUL.
// The text is converted to the stored code page; at most maxStored bytes are
// kept, and a stored length above that is refused.
void ArchiveStoreString(CArchive& ar, const char* text, int maxStored = LF_FACESIZE - 1);
void ArchiveLoadString(CArchive& ar, char* out, int outSize = LF_FACESIZE);
void ArchiveStoreLogFont(CArchive& ar, const LOGFONT& font);
void ArchiveLoadLogFont(CArchive& ar, LOGFONT& font);
void ArchiveStoreCharFormat(CArchive& ar, const CHARFORMAT& format);
void ArchiveLoadCharFormat(CArchive& ar, CHARFORMAT& format);
void ArchiveStoreParaFormat(CArchive& ar, const PARAFORMAT& format);
void ArchiveLoadParaFormat(CArchive& ar, PARAFORMAT& format);
void ArchiveStoreIntDouble(CArchive& ar, const IntDoubleRecord& record);
void ArchiveLoadIntDouble(CArchive& ar, IntDoubleRecord& record);
void ArchiveStoreTriple(CArchive& ar, const TripleRecord& record);
void ArchiveLoadTriple(CArchive& ar, TripleRecord& record);
void ArchiveStoreTriple(CArchive& ar, const LOGBRUSH& brush);
void ArchiveLoadTriple(CArchive& ar, LOGBRUSH& brush);

// The same records as operators, so that stored forms chain.
CArchive& operator<<(CArchive& ar, short value);
CArchive& operator>>(CArchive& ar, short& value);
CArchive& operator<<(CArchive& ar, bool value);
CArchive& operator>>(CArchive& ar, bool& value);
CArchive& operator<<(CArchive& ar, const SIZE& v);
CArchive& operator>>(CArchive& ar, SIZE& v);
CArchive& operator<<(CArchive& ar, const POINT& v);
CArchive& operator>>(CArchive& ar, POINT& v);
CArchive& operator<<(CArchive& ar, const RECT& v);
CArchive& operator>>(CArchive& ar, RECT& v);
CArchive& operator<<(CArchive& ar, const SYSTEMTIME& v);
CArchive& operator>>(CArchive& ar, SYSTEMTIME& v);
CArchive& operator<<(CArchive& ar, const WINDOWPLACEMENT& v);
CArchive& operator>>(CArchive& ar, WINDOWPLACEMENT& v);
CArchive& operator<<(CArchive& ar, const LOGFONT& v);
CArchive& operator>>(CArchive& ar, LOGFONT& v);
CArchive& operator<<(CArchive& ar, const CHARFORMAT& v);
CArchive& operator>>(CArchive& ar, CHARFORMAT& v);
CArchive& operator<<(CArchive& ar, const PARAFORMAT& v);
CArchive& operator>>(CArchive& ar, PARAFORMAT& v);
CArchive& operator<<(CArchive& ar, const IntDoubleRecord& v);
CArchive& operator>>(CArchive& ar, IntDoubleRecord& v);
CArchive& operator<<(CArchive& ar, const TripleRecord& v);
CArchive& operator>>(CArchive& ar, TripleRecord& v);
CArchive& operator<<(CArchive& ar, const LOGBRUSH& v);
CArchive& operator>>(CArchive& ar, LOGBRUSH& v);

// Bulk transfers; nothing happens when n < 1. Loads check that the bytes are there first.
void ArchiveStoreDoubles(CArchive& ar, const double* values, int n);
void ArchiveLoadDoubles(CArchive& ar, double* values, int n);
void ArchiveStorePairs(CArchive& ar, const POINT* pairs, int n);
void ArchiveLoadPairs(CArchive& ar, POINT* pairs, int n);
// A counted list of 32-bit integers; the load checks the count against the bytes left.
void ArchiveStoreInts(CArchive& ar, const std::vector<int>& values);
void ArchiveLoadInts(CArchive& ar, std::vector<int>& values);
// Serialize on each object in place.
void ArchiveSerializeObjects(CArchive& ar, CObject* const* objects, int n);
// Each object as a framework object; loading fills the slots with new objects
// of class expected (or derived).
void ArchiveStoreObjects(CArchive& ar, CObject* const* objects, int n);
void ArchiveLoadObjects(CArchive& ar, CObject** objects, int n, const CRuntimeClass* expected);
// Deletes each object and clears its slot.
void DeleteObjects(CObject** objects, int n);

// The blank value: all 64 bits set. It marks a missing number and is only
// ever recognised by its bits.
inline constexpr std::uint64_t kBlankBits = ~std::uint64_t(0);
inline double BlankValue() { return std::bit_cast<double>(kBlankBits); }
inline bool IsBlank(double value) { return std::bit_cast<std::uint64_t>(value) == kBlankBits; }
void FillBlankDoubles(double* values, int n);

// Index sorts: set index to 0..n-1, then heap-sort it so that the values it
// points to ascend. Strings compare without regard to (ASCII) case. In the
// blank-aware sort a blank is never less than anything and every number is
// less than a blank; not-a-number values go with the blanks so the order
// stays total.
void SortIndexByString(int* index, const std::string* values, int n);
void SortIndexByValue(int* index, const double* values, int n);
void SortIndexByValueBlanksLast(int* index, const double* values, int n);
// The blank-aware order as unsigned keys: numbers by value (both zeros
// alike), then blanks and NaN all alike after every number.
std::uint64_t BlanksLastKey(double v);
struct SSortItem {
    std::uint64_t key;
    std::int32_t index; // 0 .. n - 1, each once
};
// The blank-aware sort by keys: sets order[0 .. n - 1] to the items'
// indices in the order SortIndexByValueBlanksLast gives the values the keys
// stand for. The items are left in any order.
void SortIndexByKeys(std::span<SSortItem> items, int* order);
// Three-way comparison as the stored orders use it for text: ASCII case folded.
int CompareNoCase(std::string_view a, std::string_view b);
