#include "data/MyData.h"

#include "data/DataColumnType.h"
#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/LocaleChars.h"
#include "data/NumberText.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/File.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <unordered_set>

IMPLEMENT_SERIAL(CMyData, CObject, VERSIONABLE_SCHEMA | 0)

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Replaces the first "%d" of pattern by value.
std::string FormatInt(std::string pattern, int value)
{
    std::size_t pos = pattern.find("%d");
    if (pos != std::string::npos)
        pattern.replace(pos, 2, std::to_string(value));
    return pattern;
}

} // namespace

CData* MakeDataFromString(std::string_view text, std::string_view decimalChar)
{
    if (text.empty())
        return nullptr;
    if (text[0] == '\'')
        return new CDataString(std::string(text));
    std::string_view trimmed = Trim(text);
    if (trimmed.empty())
        return nullptr;
    std::string copy(trimmed);
    ReplaceDecimalChar(copy, decimalChar);
    double value = 0.0;
    if (ParseNumberText(copy, value))
        return new CDataDouble(value);
    return new CDataString(std::string(text));
}

CMyData::CMyData() = default;

CMyData::CMyData(std::string_view text)
{
    // Text handed over as a character buffer ends at its first NUL.
    std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    if (text.find('\t') != std::string_view::npos)
        ReadTabText(text);
    else
        ReadBlankText(text);
}

CMyData::~CMyData() = default;

CColData* CMyData::GetColumn(int column) const
{
    auto it = m_columns.find(column);
    return it == m_columns.end() ? nullptr : it->second.get();
}

std::vector<int> CMyData::GetColumnNumbers() const
{
    std::vector<int> keys;
    keys.reserve(m_columns.size());
    for (const auto& [key, col] : m_columns)
        keys.push_back(key);
    return keys;
}

CColData& CMyData::EnsureColumn(int column)
{
    auto& slot = m_columns[column];
    if (!slot)
        slot = std::make_unique<CColData>(m_defaultFormat);
    return *slot;
}

void CMyData::RecalcLastColumn() { m_lastColumn = m_columns.empty() ? -1 : m_columns.rbegin()->first; }

void CMyData::RemoveColumnIfEmpty(int column)
{
    auto it = m_columns.find(column);
    if (it == m_columns.end() || !it->second->IsEmpty())
        return;
    m_columns.erase(it);
    RecalcLastColumn();
}

void CMyData::SetCell(int row, int column, CData* cell)
{
    CColData& col = EnsureColumn(column);
    m_lastColumn = std::max(m_lastColumn, column);
    col.SetCell(row, cell);
}

void CMyData::SetNumber(int row, int column, double value)
{
    CColData& col = EnsureColumn(column);
    m_lastColumn = std::max(m_lastColumn, column);
    col.SetNumber(row, value);
}

CData* CMyData::GetCell(int row, int column) const
{
    if (column > m_lastColumn)
        return nullptr;
    CColData* col = GetColumn(column);
    if (!col || row > col->GetLastRow())
        return nullptr;
    return col->GetCell(row);
}

const CData* CMyData::PeekCell(int row, int column, CDataDouble& scratch) const
{
    if (column > m_lastColumn)
        return nullptr;
    CColData* col = GetColumn(column);
    if (!col || row > col->GetLastRow())
        return nullptr;
    return col->PeekCell(row, scratch);
}

bool CMyData::HasAssociation(int row, int column) const
{
    CColData* col = GetColumn(column);
    return col && col->HasAssociation(row);
}

CDataColumnType* CMyData::GetColumnType(int column) const
{
    CData* cell = GetCell(0, column);
    return cell && cell->GetKind() == CData::kColumnType ? static_cast<CDataColumnType*>(cell) : nullptr;
}

bool CMyData::GetNumber(int row, int column, double& value) const
{
    if (column > m_lastColumn)
        return false;
    CColData* col = GetColumn(column);
    double v = 0.0;
    if (!col || row > col->GetLastRow() || !col->GetNumberValue(row, v) || IsBlank(v))
        return false;
    value = v;
    return true;
}

void CMyData::GetColumnName(int column, std::string& out) const
{
    out.clear();
    if (column < 0)
        return;
    if (CData* name = GetCell(1, column))
        name->GetDisplayText(out, GetColumnFormat(column));
    if (out.empty())
        out = FormatInt(LoadString(IDS_COLUMN_N), column + 1);
}

const CDataFormat& CMyData::GetColumnFormat(int column) const
{
    if (column <= m_lastColumn)
        if (CColData* col = GetColumn(column))
            return col->GetFormat();
    return m_defaultFormat;
}

int CMyData::IsColumnMissing(int column) const { return column > m_lastColumn || !GetColumn(column) ? 1 : 0; }

void CMyData::SetColumnFormat(int column, const CDataFormat& format)
{
    if (CColData* col = GetColumn(column)) {
        col->SetFormat(format);
        return;
    }
    if (m_defaultFormat.Matches(format))
        return;
    // A record without cells: the last column stays as it is.
    EnsureColumn(column).SetFormat(format);
}

void CMyData::ReplaceColumnFormat(int column, const CDataFormat& format)
{
    if (CColData* col = GetColumn(column))
        col->ReplaceFormat(format);
    else if (!(format == m_defaultFormat))
        EnsureColumn(column).ReplaceFormat(format);
}

CData* CMyData::DetachCell(int row, int column)
{
    CColData* col = GetColumn(column);
    if (!col || !col->HasAssociation(row))
        return nullptr;
    CData* cell = col->DetachCell(row);
    if (row >= col->GetLastRow())
        col->RecalcLastRow();
    RemoveColumnIfEmpty(column);
    return cell;
}

void CMyData::DeleteCell(int row, int column)
{
    CColData* col = GetColumn(column);
    if (!col || !col->RemoveCell(row))
        return;
    if (row >= col->GetLastRow())
        col->RecalcLastRow();
    RemoveColumnIfEmpty(column);
}

void CMyData::DeleteCells(int column, int firstRow, int lastRow)
{
    CColData* col = GetColumn(column);
    if (!col)
        return;
    col->RemoveRows(firstRow, lastRow);
    col->RecalcLastRow();
    RemoveColumnIfEmpty(column);
}

void CMyData::SetNumberRun(int column, int firstRow, std::span<const double> values,
                           std::span<const std::uint8_t> present)
{
    CColData* col = GetColumn(column);
    if (!col) {
        // A run of nothing but empty rows makes no column record.
        const std::size_t n = present.empty() ? values.size() : std::min(values.size(), present.size());
        if (n == 0 || (!present.empty() && std::all_of(present.begin(), present.begin() + std::ptrdiff_t(n),
                                                       [](std::uint8_t p) { return p == 0; })))
            return;
        col = &EnsureColumn(column);
        m_lastColumn = std::max(m_lastColumn, column);
    }
    col->SetNumberRun(firstRow, values, present);
    RemoveColumnIfEmpty(column);
}

int CMyData::GetLastRow(int column) const
{
    if (column == -1) {
        int last = -1;
        for (const auto& [key, col] : m_columns)
            if (key >= 0 && key <= m_lastColumn)
                last = std::max(last, col->GetLastRow());
        return last;
    }
    CColData* col = GetColumn(column);
    return col ? col->GetLastRow() : -1;
}

void CMyData::MoveCell(int fromRow, int fromColumn, int toRow, int toColumn)
{
    CColData* from = GetColumn(fromColumn);
    if (!from)
        return;
    CColData::RawCell raw;
    if (!from->ExtractRaw(fromRow, raw))
        return;
    if (fromRow >= from->GetLastRow())
        from->RecalcLastRow();
    RemoveColumnIfEmpty(fromColumn);
    CColData& to = EnsureColumn(toColumn);
    m_lastColumn = std::max(m_lastColumn, toColumn);
    to.InsertRaw(toRow, raw);
}

void CMyData::DeleteCellRange(const RECT& rect, BOOL shiftUp)
{
    const int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    for (int c = left; c <= right; ++c)
        DeleteCells(c, top, bottom);
    if (shiftUp) {
        if (top > bottom)
            return;
        const std::int64_t height = std::int64_t(bottom) - top + 1;
        for (int c = left; c <= right; ++c) {
            CColData* col = GetColumn(c);
            if (!col)
                continue;
            if (bottom < col->GetLastRow())
                col->ShiftRows(bottom + 1, int(-height));
            col->RecalcLastRow();
        }
    } else {
        if (top > bottom)
            return;
        const int width = right - left + 1;
        for (int r = top; r <= bottom; ++r) {
            const int last = m_lastColumn;
            for (int c = right + 1; c <= last; ++c)
                if (HasAssociation(r, c))
                    MoveCell(r, c, r, c - width);
        }
    }
}

void CMyData::InsertCellRange(const RECT& rect, BOOL shiftDown)
{
    const int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    if (top > bottom || left > right)
        return;
    if (shiftDown) {
        const int height = bottom - top + 1;
        for (int c = left; c <= right; ++c) {
            CColData* col = GetColumn(c);
            if (!col || col->GetLastRow() < 0 || col->GetLastRow() < top)
                continue;
            col->ShiftRows(top, height);
            col->RecalcLastRow();
        }
    } else {
        const int width = right - left + 1;
        for (int r = top; r <= bottom; ++r) {
            for (int c = m_lastColumn; c >= left; --c)
                if (HasAssociation(r, c))
                    MoveCell(r, c, r, c + width);
        }
    }
}

void CMyData::DeleteRows(int firstRow, int count)
{
    if (count < 1 || firstRow > GetLastRow(-1))
        return;
    RECT rect{0, firstRow, m_lastColumn, int(std::min<std::int64_t>(std::int64_t(firstRow) + count - 1, INT32_MAX))};
    DeleteCellRange(rect, TRUE);
}

void CMyData::InsertRows(int firstRow, int count)
{
    if (count < 1 || firstRow > GetLastRow(-1))
        return;
    RECT rect{0, firstRow, m_lastColumn, int(std::min<std::int64_t>(std::int64_t(firstRow) + count - 1, INT32_MAX))};
    InsertCellRange(rect, TRUE);
}

void CMyData::InsertColumns(int firstColumn, int count)
{
    if (count < 1 || firstColumn > m_lastColumn)
        return;
    std::map<int, std::unique_ptr<CColData>> moved;
    for (auto it = m_columns.begin(); it != m_columns.end();) {
        if (it->first >= firstColumn) {
            moved.emplace(it->first + count, std::move(it->second));
            it = m_columns.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& [key, col] : moved)
        m_columns.emplace(key, std::move(col));
    m_lastColumn += count;
}

void CMyData::DeleteColumns(int firstColumn, int count)
{
    if (count < 1)
        return;
    const std::int64_t end = std::int64_t(firstColumn) + count;
    std::map<int, std::unique_ptr<CColData>> kept;
    for (auto& [key, col] : m_columns) {
        if (key < firstColumn)
            kept.emplace(key, std::move(col));
        else if (key >= end)
            kept.emplace(int(key - count), std::move(col));
    }
    m_columns = std::move(kept);
    RecalcLastColumn();
}

namespace {

// Bytes a text file of the program cannot hold (its reader refuses them).
bool IsUnwritable(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b < 32 && b != '\t' && b != '\n' && b != '\r' && b != 26;
}

// Whether text, written as it is, reads back as the same cell.
bool ReadsBackAs(const CData& cell, const std::string& text, bool oneColumn)
{
    if (text.find_first_of(oneColumn ? "\t\r\n\" " : "\t\r\n\"") != std::string::npos)
        return false;
    std::unique_ptr<CData> back(MakeDataFromString(text));
    if (!back || back->GetKind() != cell.GetKind())
        return false;
    if (cell.GetKind() == CData::kNumber)
        return true; // numbers are written with every digit they need
    std::string again;
    back->GetPlainText(again);
    return again == text;
}

// The text of a quoted field starting at pos (the opening quote), "" standing
// for a quote; pos ends past the closing quote, or at the end of an unclosed field.
std::string ReadQuoted(std::string_view text, std::size_t& pos)
{
    std::string field;
    ++pos;
    while (pos < text.size()) {
        if (text[pos] == '"') {
            if (pos + 1 < text.size() && text[pos + 1] == '"') {
                field += '"';
                pos += 2;
                continue;
            }
            ++pos;
            break;
        }
        field += text[pos++];
    }
    return field;
}

} // namespace

std::uint64_t CMyData::WriteRangeAsText(CFile& file, const RECT& rect, std::vector<POINT>* leftOut) const
{
    std::string out;
    // Without a tab in it the text is read as blank-separated.
    const bool oneColumn = rect.left == rect.right;
    for (int r = rect.top; r <= rect.bottom; ++r) {
        if (r != rect.top)
            out += "\r\n";
        for (int c = rect.left; c <= rect.right; ++c) {
            if (c != rect.left)
                out += '\t';
            CDataDouble scratch;
            if (const CData* cell = PeekCell(r, c, scratch)) {
                std::string text;
                cell->GetPlainText(text);
                if (std::any_of(text.begin(), text.end(), IsUnwritable)) {
                    text.erase(std::remove_if(text.begin(), text.end(), IsUnwritable), text.end());
                    if (leftOut)
                        leftOut->push_back(POINT{c, r});
                }
                if (ReadsBackAs(*cell, text, oneColumn)) {
                    out += text;
                    continue;
                }
                out += '"';
                for (char ch : text) {
                    if (ch == '"')
                        out += '"';
                    out += ch;
                }
                out += '"';
            }
        }
        if (out.size() > (1u << 20)) {
            file.Write(out.data(), out.size());
            out.clear();
        }
    }
    if (!out.empty())
        file.Write(out.data(), out.size());
    return file.GetPosition();
}

void CMyData::ReadTabText(std::string_view text)
{
    int row = 0, column = 0;
    std::size_t pos = 0;
    const std::size_t n = text.size();
    auto atFieldEnd = [&] { return pos >= n || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n'; };
    while (true) {
        if (pos < n && text[pos] == '"') {
            // A quoted field is a text as it stands, tabs and line ends
            // included; "" is a quote. Anything up to the next tab follows it.
            std::string field = ReadQuoted(text, pos);
            while (!atFieldEnd())
                field += text[pos++];
            SetCell(row, column, new CDataString(std::move(field)));
        } else {
            std::size_t start = pos;
            while (!atFieldEnd())
                ++pos;
            SetCell(row, column, MakeDataFromString(text.substr(start, pos - start)));
        }
        if (pos >= n)
            break;
        if (text[pos] == '\t') {
            ++column;
            ++pos;
            continue;
        }
        if (text[pos] == '\r' && pos + 1 < n && text[pos + 1] == '\n')
            ++pos;
        ++pos;
        ++row;
        column = 0;
        if (pos >= n)
            break;
    }
}

void CMyData::ReadBlankText(std::string_view text)
{
    int row = 0, column = 0;
    std::size_t pos = 0;
    const std::size_t n = text.size();
    auto atFieldEnd = [&] {
        // A field closed by anything but a line end or the end of the text moves one column right.
        if (pos < n && text[pos] != '\r' && text[pos] != '\n')
            ++column;
    };
    while (pos < n) {
        char c = text[pos];
        if (c == ' ') {
            ++pos;
            continue;
        }
        if (c == '\r' || c == '\n') {
            if (c == '\r' && pos + 1 < n && text[pos + 1] == '\n')
                ++pos;
            ++pos;
            ++row;
            column = 0;
            continue;
        }
        if (c == '"') {
            std::string field = ReadQuoted(text, pos);
            SetCell(row, column, new CDataString(std::move(field)));
            atFieldEnd();
            continue;
        }
        std::size_t start = pos;
        while (pos < n && text[pos] != ' ' && text[pos] != '"' && text[pos] != '\r' && text[pos] != '\n')
            ++pos;
        if (CData* cell = MakeDataFromString(text.substr(start, pos - start)))
            SetCell(row, column, cell);
        atFieldEnd();
    }
}

void CMyData::CompactNumbers()
{
    for (auto& [key, col] : m_columns)
        col->CompactNumbers();
}

void CMyData::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    std::unordered_set<const CObject*> owned;
    if (ar.IsStoring()) {
        ar.WriteCount(std::uint32_t(m_columns.size()));
        for (int key : StoredKeyOrder(GetColumnNumbers())) {
            ar << std::int32_t(key);
            ar.WriteObject(GetColumn(key));
        }
        m_defaultFormat.Serialize(ar);
        ar << std::int32_t(m_lastColumn);
        return;
    }

    m_columns.clear();
    m_lastColumn = -1;
    std::uint32_t count = ar.ReadCount();
    ar.CheckRemaining(count, 6);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::int32_t key = 0;
        ar >> key;
        std::unique_ptr<CColData> col;
        {
            CColData::LoadOwnersScope scope(owned);
            CObject* object = ar.ReadObject(RUNTIME_CLASS(CColData));
            if (object && !owned.insert(object).second)
                ThrowArchiveError(CArchiveException::badIndex, "a column is stored twice");
            col.reset(static_cast<CColData*>(object));
        }
        if (!col)
            col = std::make_unique<CColData>(m_defaultFormat);
        if (m_columns.count(key))
            ThrowArchiveError(CArchiveException::badIndex, "a column is stored twice");
        m_columns.emplace(key, std::move(col));
    }
    m_defaultFormat.Serialize(ar);
    std::int32_t lastColumn = 0;
    ar >> lastColumn;
    RecalcLastColumn();
}
