// Turns the data files ("ANAVZK") and workspace files ("mx_VZK") of the
// program's version 3 into items of the open workspace: data tables become
// data-table items and notepads notepad items; the XY and chart series of a
// graph become a data table of their values and a graph item that plots
// them, the XY series in an XY graph and the chart series (one value per
// category) in a column chart (series of other kinds, curves and the page's
// drawing objects are read through and left out). The old files are read,
// never written.
#pragma once

#include "platform/Types.h"

#include <string>
#include <vector>

class CArchive;
class CMXDoc;
class COldFileReader;

class COldDataImport {
public:
    explicit COldDataImport(CMXDoc& document) : m_doc(document) {}

    // The body of a data file after its version header: one data table.
    bool ConvertOldDataFile(CArchive& ar, int version);
    // A whole workspace file after its magic: the version header, then records.
    bool ConvertOldWorkspace(CArchive& ar);
    // Why the last conversion failed.
    const std::string& GetError() const { return m_error; }

    // The version header after the magic: three digits and four unused bytes.
    static int ReadVersionHeader(COldFileReader& in);
    // The character format that imported notes are shown in.
    static CHARFORMAT NoteCharFormat();
    // The only form of graph record that version 3 wrote.
    static constexpr int kGraphSubVersion = 1;

private:
    void ReadTable(COldFileReader& in, int version);
    void ReadNotepad(COldFileReader& in);
    // One series of an old graph: an XY series's points, or a chart
    // series's values (in y) with the bar starts (in x) when it has them; y
    // errors (none, one symmetric array, or plus and minus) and the legend text.
    struct OldSeries {
        bool chart = false;
        std::vector<double> x, y;
        std::vector<std::vector<double>> yErrors;
        std::string name;
    };
    void ReadGraph(COldFileReader& in);
    void MakeGraph(const std::vector<OldSeries>& series);
    bool Run(CArchive& ar, void (COldDataImport::*body)(COldFileReader&, int), int version);
    void DataFileBody(COldFileReader& in, int version);
    void WorkspaceBody(COldFileReader& in, int version);

    CMXDoc& m_doc;
    std::string m_error;
};
