#include "platform/StringTable.h"

#include <algorithm>
#include <iterator>

namespace {

struct StringEntry {
    UINT id;
    const char* text;
};

// Kept in ascending id order: lookups are binary searches, and a test checks the order.
constexpr StringEntry kStrings[] = {
    {108, "Brackmoor"},
    {109, "Data%1"},
    {110, "Linear Fit%1"},
    {111, "Non-linear Fit%1"},
    {112, "Notes%1"},
    {113, "Graph%1"},
    {165, "Save Copy &As..."},
    {169, "Data table"},
    {170, "Linear fit"},
    {171, "Non-linear fit"},
    {172, "Notes"},
    {173, "Graph"},
    {181, "The copy and paste areas are different sizes. Limit paste to selected region only?"},
    {194, "Marlox Data Filter"},
    {204, "Data from %2%1"},
    {208, "You cannot include the current column in your list of selections. "},
    {209, "Cannot resolve circular references."},
    {210, "Calculate Mean"},
    {211, "Number of Data Points"},
    {212, "Standard Deviation"},
    {213, "Standard Error of the Mean"},
    {214, "Equation%1"},
    {215, "Equation"},
    {223, "Transform%1"},
    {224, "Tips file does not exist in the prescribed directory"},
    {225, "Trouble reading the tips file"},
    {228, "%1 Properties"},
    {236, "Transformation"},
    {238, "Hard-coded Equation%1"},
    {239, "Hard-coded Equation"},
    {241, "(Equation library not valid)"},
    {307, "Calculate A + B"},
    {308, "Calculate A - B"},
    {309, "Calculate A / B"},
    {310, "Calculate A . B"},
    {311, "ERROR - Divide by 0"},
    {315, "A background process is in operation. Do you wish to wait for it to finish before saving?"},
    {316, "Save operation aborted."},
    {458, "Fitting data (%1 of %2)..."},
    {496, "No source data column has been selected."},
    {497, "The window size must be an odd number of data points."},
    {498, "(Too few points)"},
    {499, "No index column has been selected for the sort."},
    {500, "No columns selected."},
    {501, "Error (NAN)"},
    {502, "(-INF)"},
    {503, "(+INF)"},
    {517, ".MXT"},
    {518, "Marlox 4.0 Template"},
    {519, "Marlox Template Files"},
    {521, "&New"},
    {522, "Sharing violation opening file \"%1\" . This file is already opened for editing by another program, and cannot be accessed."},
    {523, "Sharing violation saving file \"%1\" ."},
    {525, "Marlox 3 Data File"},
    {526, "Marlox 3 Equation File"},
    {536, "Rename"},
    {537, "Delete"},
    {538, "Move"},
    {539, "Add Data Table"},
    {540, "Add Linear Fit"},
    {541, "Add Non-linear Fit"},
    {542, "Add Notepad"},
    {543, "Add Graph"},
    {544, "Add Equation"},
    {545, "Cut"},
    {546, "Paste"},
    {547, "Drop"},
    {548, "Import Data"},
    {549, "Insert Object"},
    {550, "Edit"},
    {551, "Column Type"},
    {552, "Resize Column"},
    {553, "Size Column to Fit"},
    {554, "Column Width"},
    {555, "Resize Row"},
    {556, "Row Height"},
    {557, "Column Format"},
    {558, "Delete Cells"},
    {559, "Clear"},
    {560, "Cut"},
    {561, "Insert Columns"},
    {562, "Delete Columns"},
    {563, "Delete Rows"},
    {564, "Insert Rows"},
    {565, "Insert Cells"},
    {566, "Paste"},
    {567, "Paste From"},
    {568, "Preferences"},
    {569, "Sort Columns"},
    {570, "Go To"},
    {571, "%d column(s) selected"},
    {572, "(Column %d)"},
    {576, " "},
    {577, "x Data"},
    {578, "y Data"},
    {579, "x(%1) Data"},
    {580, "Mean"},
    {581, "Std. Deviation"},
    {582, "Calculated"},
    {583, "x = ?"},
    {584, "y = ?"},
    {585, "Difference"},
    {586, "Series"},
    {587, "Derivative"},
    {588, "A - B"},
    {589, "A + B"},
    {590, "A / B"},
    {591, "A . B"},
    {592, "No. Points"},
    {593, "S.E. Mean"},
    {594, "x2: [%2]"},
    {595, "Smooth"},
    {596, "Results"},
    {597, "Fit Info"},
    {598, "Summary"},
    {599, "Subset"},
    {600, "F Test"},
    {601, "Parameters"},
    {602, "Constants"},
    {603, "Add Hard-coded Equation"},
    {1056, "Data"},
    {1057, "Linear Fit"},
    {1058, "Non-linear Fit"},
    {1059, "Notes"},
    {1060, "Graph"},
    {1061, "Equation"},
    {1062, "Transformation"},
    {1063, "Hard-coded Equation"},
    {1093, "X Axis"},
    {1094, "Y Axis"},
    {1123, "Add Transformation"},
    {1132, "No associated equation is selected, or the currently selected equation is not correctly defined. Ensure that an equation definition is selected, and the chosen definition has been compiled."},
    {1133, "Please enter a definition for the transformed x data."},
    {1134, "Please enter a definition for the transformed y data."},
    {1135, "Please enter a name for the x variable."},
    {1136, "Please enter a name for the y variable."},
    {1137, "Please enter a definition for the transformed curve."},
    {1157, "Marlox Items|*.mxc||"},
    {1158, "MXC"},
    {1159, "Store Item"},
    {1160, "Add Stored Item"},
    {1161, "The file \"%1\" is not a Marlox item file."},
    {1194, "Lock Column"},
    {1208, "This file is not a valid Marlox workspace file."},
    {1209, "Help topic number %1 is not available."},
    {1216, "!! Bad parameter !!"},
    {1224, "Marlox Equation Library file"},
    {8196, "Undefined variable name error."},
    {8197, "A variable name or keyword was expected."},
    {8198, "An arithmetic operator was expected."},
    {8199, "Syntax error."},
    {8200, "Missing \"(\"."},
    {8201, "Missing \")\"."},
    {8202, "Invalid label definition (spaces are not allowed)."},
    {8203, "No \"TO\" or \"DOWNTO\" in FOR statement."},
    {8204, "Invalid FOR statement (no TO value)."},
    {8205, "Invalid FOR statement (no STEP limit)"},
    {8206, "Invalid FOR statement."},
    {8207, "Invalid IF statement (no THEN found)."},
    {8208, "Invalid IF statement."},
    {8209, "Invalid ENDIF statement."},
    {8210, "This line lacks an assignment statement (did you leave out the \"y =\" part?)."},
    {8211, "ENDIF found without matching IF."},
    {8212, "ELSE found without matching IF."},
    {8213, "NEXT found without matching FOR."},
    {8214, "This label name has already been used."},
    {8215, "IF statement found without matching ENDIF."},
    {8216, "FOR statement found without matching NEXT."},
    {8217, "GOTO label not found."},
    {8218, "Label defined but not used."},
    {8219, "Invalid ELSE statement."},
    {8220, "The definition does not define the Y value (did you forget to include a \"y=\" statement?)."},
    {8221, "X variable \"%1\" has not been used."},
    {8222, "Parameter \"%1\" has not been used."},
    {8223, "Constant \"%1\" has not been used."},
    {8241, "Parameter definition #%1 is missing."},
    {8470, "Error in math function \"%1\". The argument(s) passed to this function were outside the range that is acceptable (domain error)."},
    {8471, "Error in math function \"%1\". The argument(s) passed to this function were inappropriate (singularity error)."},
    {8472, "Error in math function \"%1\". The argument(s) passed to this function generated a result that is too large to be represented (overflow error)."},
    {8473, "Error in math function \"%1\". The argument(s) passed to this function give a result so large or small that it has partially lost most or all of the significant digits of the original argument."},
    {8474, "Error in math function \"%1\". The argument(s) passed to this function give a result so large or small that it has totally lost most or all of the significant digits of the original argument."},
    {8475, "Error in math function \"%1\". The result is too small to be represented."},
    {8476, "Undefined error in math function \"%1\"."},
    {8477, "Division by zero error."},
    {8478, "ERROR - in %1 function"},
    {8479, "ERROR - bad equation"},
    {8480, "Missing comma."},
    {8481, "Too many commas."},
    {8484, "The equation was stopped after %1 instructions without finishing. Check its loops and GOTO statements."},
    {8485, "ERROR - endless loop"},
    {8490, "A computed column is limited to %1 rows; the rows beyond were not filled."},
    {8491, "The derivative order cannot be higher than the polynomial order."},
    {25016, "This file was created by a later version of %1, or the file is corrupt."},
    {25120, "Close"},
    {25170, "&Undo %1\tCtrl+Z"},
    {25171, "&Redo %1\tCtrl+Y"},
    {25185, "&F [&I]"},
    {25186, "Page &P"},
    {25187, "Another%1 of %2"},
    {25188, "Copy%1 of %2"},
    {26008, "Failed to create object.  Make sure the object is entered in the system registry."},
    {26009, "!! Bad command !!"},
    {26010, "A project item in this file has become corrupted. Attempt to recover by converting to blank Notes item?"},
    {32002, "Cannot open the Clipboard."},
    {32003, "Cannot clear the Clipboard."},
    {32004, "Cannot close the Clipboard."},
    {32009, "Some String"},
    {32010, "The dimensions of the data on the clipboard are larger than the selected region. Truncate clipboard data?"},
    {32011, "There are too many selected cells to complete this operation."},
    {32012, "&Undo \tCtrl+Z"},
    {32013, "&Redo\tCtrl+Y"},
};

const StringEntry* Find(UINT id)
{
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const StringEntry& e, UINT v) { return e.id < v; });
    return it != std::end(kStrings) && it->id == id ? it : nullptr;
}

std::string& AppName()
{
    static std::string name = "Marlox";
    return name;
}

} // namespace

bool StringTableIsSorted()
{
    return std::adjacent_find(std::begin(kStrings), std::end(kStrings),
                              [](const StringEntry& a, const StringEntry& b) { return a.id >= b.id; })
        == std::end(kStrings);
}

std::string LoadString(UINT id)
{
    const StringEntry* e = Find(id);
    return e ? e->text : std::string();
}

bool HasString(UINT id) { return Find(id) != nullptr; }

std::string FormatMessageText(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            std::size_t k = std::size_t(pattern[i + 1] - '1');
            if (k < args.size()) {
                out += *(args.begin() + k);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string FormatString(UINT id, std::initializer_list<std::string_view> args)
{
    return FormatMessageText(LoadString(id), args);
}

const std::string& GetAppName() { return AppName(); }

void SetAppName(std::string name) { AppName() = std::move(name); }
