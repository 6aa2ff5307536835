// Turns the equation files of the program's version 3 ("AEQVZK") into
// equation and transformation items of the open workspace. Records come in
// a fixed layout or packed; packed ones are expanded into the fixed layout,
// which is then widened into the layout that the equation and the
// transformation read their old definitions from.
#pragma once

#include "platform/Types.h"

#include <cstddef>
#include <string>
#include <vector>

class CArchive;
class CMXDoc;
class COldFileReader;

class COldEquationImport {
public:
    // The fixed record sizes of the file.
    static constexpr std::size_t kEquationRecordSize = 3964;
    static constexpr std::size_t kTransformRecordSize = 1216;

    explicit COldEquationImport(CMXDoc& document) : m_doc(document) {}

    // The records after the magic, until the end of the input.
    bool ConvertOldEquationFile(CArchive& ar);
    // Why the last conversion failed.
    const std::string& GetError() const { return m_error; }

    // A packed record expanded into its fixed layout; throws on damage.
    static std::vector<BYTE> ExpandPackedEquation(const std::vector<BYTE>& packed);
    static std::vector<BYTE> ExpandPackedTransform(const std::vector<BYTE>& packed);
    // A fixed record widened into the layout the definition imports read.
    static std::vector<BYTE> WidenEquation(const std::vector<BYTE>& fixed);
    static std::vector<BYTE> WidenTransform(const std::vector<BYTE>& fixed);

private:
    void Convert(COldFileReader& in);
    void AddEquation(const std::vector<BYTE>& fixed);
    void AddTransform(const std::vector<BYTE>& fixed);
    void NotifyAdded();

    CMXDoc& m_doc;
    std::string m_error;
};
