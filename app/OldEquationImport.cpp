#include "app/OldEquationImport.h"

#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXTransform.h"
#include "app/OldFileReader.h"
#include "framework/UpdateNotification.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/File.h"

#include <algorithm>
#include <cstring>

namespace {

// A field of a record: its offset and width in bytes.
struct Field {
    std::size_t at;
    std::size_t width;
};

// The fixed equation record. The arrays have room for 10 parameters, 10
// constants and 3 X variables.
constexpr std::size_t kParams = 10, kConsts = 10, kXs = 3;
namespace fixed {
constexpr Field name{0, 60};
constexpr std::size_t paramLabels = 60, constLabels = 310, labelWidth = 25;
constexpr std::size_t paramNames = 560, xNames = 680, constNames = 716, nameWidth = 12;
constexpr Field definition{836, 300};
constexpr std::size_t paramCount = 1138, constCount = 1140, estimateFlag = 1742;
constexpr Field estimate1{1744, 61}, estimate2{1805, 61};
constexpr std::size_t paramEstimates = 2110, estimateWidth = 61;
constexpr std::size_t xCount = 3940;
// The transformation record.
constexpr Field transformName{0, 60};
} // namespace fixed

// The wider layout that CEquation::ImportOldDefinition and
// CTransformation::ImportOld read.
namespace wide {
constexpr std::size_t equationSize = 5790;
constexpr std::size_t paramLabels = 60, constLabels = 810, paramNames = 1060, xNames = 1420, constNames = 1540;
constexpr std::size_t definition = 1660, paramCount = 2686, constCount = 2688, estimateFlag = 3590;
constexpr std::size_t estimate1 = 3592, estimate2 = 3653, paramEstimates = 3958, xCount = 5788;
// The transformation texts lie past the fixed transformation record, so
// the widened record is large enough to hold all four, zero-filled.
constexpr Field transform1{280, 517 - 280}, transform2{517, 2664 - 517}, transform3{2664, 30}, transform4{2694, 30};
constexpr std::size_t transformSize = 2694 + 30;
} // namespace wide

std::uint16_t Word(const std::vector<BYTE>& r, std::size_t at) { return std::uint16_t(r[at] | (r[at + 1] << 8)); }

void PutWord(std::vector<BYTE>& r, std::size_t at, std::uint16_t v)
{
    r[at] = BYTE(v & 0xFF);
    r[at + 1] = BYTE(v >> 8);
}

// Copies bytes into a zeroed field: at most its width, so a text that fills
// the field has no terminator and ends with the field.
void PutText(std::vector<BYTE>& r, Field f, const std::string& bytes)
{
    std::memcpy(r.data() + f.at, bytes.data(), std::min(bytes.size(), f.width));
}

// Copies a field's bytes from one record to a field of the same width (or wider) in another.
void CopyField(const std::vector<BYTE>& from, std::size_t at, std::vector<BYTE>& to, std::size_t toAt,
               std::size_t width)
{
    std::memcpy(to.data() + toAt, from.data() + at, width);
}

std::string FieldText(const std::vector<BYTE>& r, Field f)
{
    const char* p = reinterpret_cast<const char*>(r.data() + f.at);
    std::size_t n = 0;
    while (n < f.width && p[n] != '\0')
        ++n;
    return Cp1252ToUtf8(std::string_view(p, n));
}

void SkipWordTable(COldFileReader& in) { in.Skip(std::uint64_t(in.CheckCount(in.UInt16(), 2, "a word table")) * 2); }

// Reads a packed record through the same checks as the file.
template <class Body>
std::vector<BYTE> Expand(const std::vector<BYTE>& packed, std::size_t size, Body body)
{
    CMemFile file(packed.data(), packed.size());
    CArchive ar(&file, CArchive::load);
    COldFileReader in(ar);
    std::vector<BYTE> out(size, 0);
    body(in, out);
    return out;
}

} // namespace

std::vector<BYTE> COldEquationImport::ExpandPackedEquation(const std::vector<BYTE>& packed)
{
    return Expand(packed, kEquationRecordSize, [](COldFileReader& in, std::vector<BYTE>& r) {
        const std::uint16_t params = in.UInt16();
        const std::uint16_t consts = in.UInt16();
        in.UInt16();
        const std::uint16_t estimates = in.UInt16();
        const std::uint16_t xs = in.UInt16();
        in.UInt16();
        PutWord(r, fixed::paramCount, params);
        PutWord(r, fixed::constCount, consts);
        PutWord(r, fixed::estimateFlag, estimates);
        PutWord(r, fixed::xCount, xs);
        SkipWordTable(in);
        if (estimates) {
            SkipWordTable(in);
            SkipWordTable(in);
            for (std::uint32_t i = 0; i < params; ++i)
                SkipWordTable(in);
        }
        // Texts beyond the record's slots are read past and dropped.
        auto text = [&](std::size_t count, std::size_t base, std::size_t width, std::size_t slotCount, const char* what) {
            for (std::size_t i = 0; i < count; ++i) {
                std::string bytes = in.RawCString(width, what);
                if (i < slotCount)
                    PutText(r, Field{base + i * width, width}, bytes);
            }
        };
        text(1, fixed::name.at, fixed::name.width, 1, "the equation name");
        text(params, fixed::paramLabels, fixed::labelWidth, kParams, "a parameter label");
        text(params, fixed::paramNames, fixed::nameWidth, kParams, "a parameter name");
        text(consts, fixed::constLabels, fixed::labelWidth, kConsts, "a constant label");
        text(consts, fixed::constNames, fixed::nameWidth, kConsts, "a constant name");
        text(std::max<std::size_t>(xs, kXs), fixed::xNames, fixed::nameWidth, kXs, "an X variable name");
        text(1, fixed::definition.at, fixed::definition.width, 1, "the definition");
        if (estimates) {
            text(1, fixed::estimate1.at, fixed::estimate1.width, 1, "an estimate");
            text(1, fixed::estimate2.at, fixed::estimate2.width, 1, "an estimate");
            text(params, fixed::paramEstimates, fixed::estimateWidth, kParams, "a parameter estimate");
        }
    });
}

std::vector<BYTE> COldEquationImport::ExpandPackedTransform(const std::vector<BYTE>& packed)
{
    // Straight into the widened layout: the fixed record has no room for
    // the third and fourth texts.
    return Expand(packed, wide::transformSize, [](COldFileReader& in, std::vector<BYTE>& r) {
        in.UInt16();
        in.UInt16();
        in.UInt16();
        for (int i = 0; i < 3; ++i)
            SkipWordTable(in);
        PutText(r, fixed::transformName, in.RawCString(fixed::transformName.width, "the transformation name"));
        in.RawCString(0, "a transformation text");
        for (Field f : {wide::transform1, wide::transform2, wide::transform3, wide::transform4})
            PutText(r, f, in.RawCString(f.width, "a transformation text"));
    });
}

std::vector<BYTE> COldEquationImport::WidenEquation(const std::vector<BYTE>& r)
{
    std::vector<BYTE> w(wide::equationSize, 0);
    // Counts beyond the record's slots would name fields it does not have.
    const std::uint16_t params = std::min<std::uint16_t>(Word(r, fixed::paramCount), kParams);
    const std::uint16_t consts = std::min<std::uint16_t>(Word(r, fixed::constCount), kConsts);
    const std::uint16_t xs = std::min<std::uint16_t>(Word(r, fixed::xCount), kXs);
    const bool estimates = Word(r, fixed::estimateFlag) != 0;
    CopyField(r, fixed::name.at, w, 0, fixed::name.width);
    CopyField(r, fixed::paramLabels, w, wide::paramLabels, kParams * fixed::labelWidth);
    CopyField(r, fixed::constLabels, w, wide::constLabels, kConsts * fixed::labelWidth);
    CopyField(r, fixed::paramNames, w, wide::paramNames, kParams * fixed::nameWidth);
    CopyField(r, fixed::xNames, w, wide::xNames, kXs * fixed::nameWidth);
    CopyField(r, fixed::constNames, w, wide::constNames, kConsts * fixed::nameWidth);
    CopyField(r, fixed::definition.at, w, wide::definition, fixed::definition.width);
    CopyField(r, fixed::estimate1.at, w, wide::estimate1, fixed::estimate1.width);
    CopyField(r, fixed::estimate2.at, w, wide::estimate2, fixed::estimate2.width);
    CopyField(r, fixed::paramEstimates, w, wide::paramEstimates, kParams * fixed::estimateWidth);
    PutWord(w, wide::paramCount, params);
    PutWord(w, wide::constCount, consts);
    PutWord(w, wide::estimateFlag, estimates ? 1 : 0);
    PutWord(w, wide::xCount, xs);
    return w;
}

std::vector<BYTE> COldEquationImport::WidenTransform(const std::vector<BYTE>& r)
{
    std::vector<BYTE> w(wide::transformSize, 0);
    std::memcpy(w.data(), r.data(), std::min(r.size(), w.size()));
    return w;
}

bool COldEquationImport::ConvertOldEquationFile(CArchive& ar)
{
    m_error.clear();
    try {
        COldFileReader in(ar);
        Convert(in);
        return true;
    } catch (const CException& e) {
        m_error = e.GetText();
    }
    return false;
}

void COldEquationImport::Convert(COldFileReader& in)
{
    m_doc.GetActionList().RemoveAll();
    std::uint8_t type = 0;
    while (in.TryByte(type)) {
        std::vector<BYTE> record;
        auto readRecord = [&](std::size_t size) {
            record.resize(size);
            in.ReadExact(record.data(), size);
        };
        switch (type) {
        case 0:
            in.CheckCount(kEquationRecordSize, 1, "an equation record");
            readRecord(kEquationRecordSize);
            AddEquation(record);
            break;
        case 1:
            in.CheckCount(kTransformRecordSize, 1, "a transformation record");
            readRecord(kTransformRecordSize);
            AddTransform(WidenTransform(record));
            break;
        case 2:
        case 4:
            readRecord(in.CheckCount(in.UInt16(), 1, "an equation record"));
            AddEquation(ExpandPackedEquation(record));
            break;
        case 3:
        case 5:
            readRecord(in.CheckCount(in.UInt16(), 1, "a transformation record"));
            AddTransform(ExpandPackedTransform(record));
            break;
        default:
            COldFileReader::Fail("The file is damaged: it holds a record of the unknown type " + std::to_string(type)
                                 + ".");
        }
    }
}

void COldEquationImport::AddEquation(const std::vector<BYTE>& record)
{
    auto* item = new CMXEquation(&m_doc);
    item->InitNewItem();
    // A nameless record keeps the kind's own name.
    std::string name = FieldText(record, fixed::name);
    if (!name.empty())
        item->SetEquationName(name);
    std::vector<BYTE> w = WidenEquation(record);
    if (!item->GetCompiledEquation().ImportOldDefinition(w.data(), w.size()))
        COldFileReader::Fail("An equation of the file could not be read.");
    NotifyAdded();
}

void COldEquationImport::AddTransform(const std::vector<BYTE>& record)
{
    auto* item = new CMXTransform(&m_doc);
    item->InitNewItem();
    std::string name = FieldText(record, fixed::transformName);
    if (!name.empty())
        item->SetTransformName(name);
    if (!item->GetTransformation().ImportOld(record.data(), record.size()))
        COldFileReader::Fail("A transformation of the file could not be read.");
    NotifyAdded();
}

void COldEquationImport::NotifyAdded()
{
    CUpdateNotification note;
    note.kind = UN_ITEMS_CHANGED;
    note.state = UN_STATE_OVER;
    m_doc.UpdateAllViews(nullptr, UPDATE_HINT_NOTIFICATION, &note);
}
