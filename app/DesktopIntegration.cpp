#include "app/DesktopIntegration.h"

#include "app/ItemIconTexts.h"
#include "draw/PageRender.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string XmlEscape(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string MimeTypeList(bool templateEntry)
{
    std::string list;
    for (const MarloxFileType& t : GetMarloxFileTypes())
        if (t.openedByTemplateEntry == templateEntry)
            list += std::string(t.mimeType) + ";";
    return list;
}

bool WriteTextFile(const fs::path& path, const std::string& text, std::string* error)
{
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    fs::path temp = path;
    temp += ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            if (error)
                *error = "cannot write " + temp.string();
            return false;
        }
    }
    fs::rename(temp, path, ec);
    if (ec) {
        if (error)
            *error = "cannot write " + path.string() + ": " + ec.message();
        return false;
    }
    return true;
}

// Runs a tool without a shell; a missing tool is not an error.
void RunTool(const char* tool, const std::string& arg)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        ::execlp(tool, tool, arg.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (pid > 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
}

} // namespace

const std::vector<MarloxFileType>& GetMarloxFileTypes()
{
    static const std::vector<MarloxFileType> types = [] {
        static const std::string workspace = "Marlox 4.0 Workspace";
        static const std::string templ = LoadString(IDS_TEMPLATE_TYPE);
        static const std::string item = "Marlox Stored Item";
        static const std::string library = LoadString(IDS_EQUATION_LIBRARY_TYPE);
        static const std::string filter = LoadString(IDS_FILTER_TYPE);
        static const std::string data3 = LoadString(IDS_VERSION3_DATA_FILE);
        static const std::string equation3 = LoadString(IDS_VERSION3_EQUATION_FILE);
        return std::vector<MarloxFileType>{
            {"application/x-marlox-workspace", "mxf", workspace.c_str(), "application-x-marlox-workspace", "W", "#2f6db5", false},
            {"application/x-marlox-template", "mxt", templ.c_str(), "application-x-marlox-template", "T", "#6c8ebf", true},
            {"application/x-marlox-item", "mxc", item.c_str(), "application-x-marlox-item", "I", "#4d9a5a", false},
            {"application/x-marlox-equation-library", "mxl", library.c_str(), "application-x-marlox-equation-library", "L", "#b5792f", false},
            {"application/x-marlox-filter", "mxr", filter.c_str(), "application-x-marlox-filter", "F", "#7d5ba6", false},
            {"application/x-marlox3-data", "mxd", data3.c_str(), "application-x-marlox3-data", "D", "#8a8a8a", false},
            {"application/x-marlox3-equation", "mxe", equation3.c_str(), "application-x-marlox3-equation", "E", "#8a8a8a", false},
        };
    }();
    return types;
}

std::string QuoteDesktopExecArgument(const std::string& arg)
{
    bool needsQuotes = arg.empty();
    for (char c : arg)
        if (std::string_view(" \t\n\"'\\><~|&;$*?#()`").find(c) != std::string_view::npos)
            needsQuotes = true;
    std::string quoted;
    if (!needsQuotes) {
        quoted = arg;
    } else {
        quoted = "\"";
        for (char c : arg) {
            if (c == '"' || c == '`' || c == '$' || c == '\\')
                quoted += '\\';
            quoted += c;
        }
        quoted += '"';
    }
    // A literal percent sign is written twice in Exec.
    std::string exec;
    for (char c : quoted) {
        exec += c;
        if (c == '%')
            exec += '%';
    }
    // The key's value is a string: its backslashes are escaped once more.
    std::string value;
    for (char c : exec) {
        if (c == '\\')
            value += '\\';
        value += c;
    }
    return value;
}

std::string DesktopEntryText(const std::string& programPath)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" + GetAppName() + "\n"
           "GenericName=Curve Fitting and Graphs\n"
           "Comment=Fit equations to laboratory data and draw graphs for publication\n"
           "Exec=" + QuoteDesktopExecArgument(programPath) + " %f\n"
           "Icon=marlox\n"
           "Terminal=false\n"
           "Categories=Science;Education;DataVisualization;\n"
           "MimeType=" + MimeTypeList(false) + "\n";
}

std::string TemplateDesktopEntryText(const std::string& programPath)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" + GetAppName() + " (new workspace from a template)\n"
           "Exec=" + QuoteDesktopExecArgument(programPath) + " /new %f\n"
           "Icon=marlox\n"
           "Terminal=false\n"
           "NoDisplay=true\n"
           "MimeType=" + MimeTypeList(true) + "\n";
}

const std::vector<StoredItemKind>& GetStoredItemKinds()
{
    static const std::vector<StoredItemKind> kinds{
        {2, "application/x-marlox-item-equation", "Marlox Stored Equation", "application-x-marlox-item-equation", "equation"},
        {3, "application/x-marlox-item-graph", "Marlox Stored Graph", "application-x-marlox-item-graph", "graph"},
        {4, "application/x-marlox-item-table", "Marlox Stored Data Table", "application-x-marlox-item-table", "table"},
        {5, "application/x-marlox-item-notes", "Marlox Stored Notepad", "application-x-marlox-item-notes", "notes"},
        {6, "application/x-marlox-item-linear-fit", "Marlox Stored Linear Fit", "application-x-marlox-item-linear-fit",
         "linear-fit"},
        {7, "application/x-marlox-item-nonlinear-fit", "Marlox Stored Non-linear Fit",
         "application-x-marlox-item-nonlinear-fit", "nonlinear-fit"},
        {8, "application/x-marlox-item-transform", "Marlox Stored Transformation", "application-x-marlox-item-transform",
         "transform"},
        {9, "application/x-marlox-item-library-equation", "Marlox Stored Library Equation",
         "application-x-marlox-item-library-equation", "library-equation"},
    };
    return kinds;
}

const StoredItemKind* FindStoredItemKind(int iconIndex)
{
    for (const StoredItemKind& kind : GetStoredItemKinds())
        if (kind.iconIndex == iconIndex)
            return &kind;
    return nullptr;
}

const std::vector<int>& IconThemeSizes()
{
    static const std::vector<int> sizes{16, 22, 24, 32, 48, 64, 128, 256};
    return sizes;
}

namespace {

// The compound-file signature that every workspace and template starts with.
constexpr const char* kCompoundSignature = "\\xd0\\xcf\\x11\\xe0\\xa1\\xb1\\x1a\\xe1";
// The workspace stream starts with the prefix "MX4VZK". Where the stream lies
// in the file depends on the sizes of the items stored before it; this range
// covers the workspaces of a few hundred items of small tables, and files
// beyond it are still told apart by name (a sub-type of compound files wins
// the tie with the video type that shares the extension).
constexpr const char* kWorkspaceMagicRange = "512:65536";
// The stored-item header: "MX Item" and a NUL.
constexpr const char* kItemMagic = "MX Item\\0";

std::string WorkspaceMagic(int priority)
{
    return "    <magic priority=\"" + std::to_string(priority) + "\">\n"
           "      <match type=\"string\" offset=\"0\" value=\"" + std::string(kCompoundSignature) + "\">\n"
           "        <match type=\"string\" offset=\"" + kWorkspaceMagicRange + "\" value=\"MX4VZK\"/>\n"
           "      </match>\n"
           "    </magic>\n";
}

// A kind's header: the magic, a version the program reads (0 or below: the
// header's version word is refused when greater than 0) and the kind's index.
std::string StoredItemKindMagic(int iconIndex)
{
    const std::string index = std::to_string(iconIndex);
    return "    <magic priority=\"90\">\n"
           "      <match type=\"string\" offset=\"0\" value=\"" + std::string(kItemMagic) + "\">\n"
           "        <match type=\"little32\" offset=\"8\" value=\"0\">\n"
           "          <match type=\"little32\" offset=\"12\" value=\"" + index + "\"/>\n"
           "        </match>\n"
           "        <match type=\"little32\" offset=\"8\" value=\"0x80000000\" mask=\"0x80000000\">\n"
           "          <match type=\"little32\" offset=\"12\" value=\"" + index + "\"/>\n"
           "        </match>\n"
           "      </match>\n"
           "    </magic>\n";
}

} // namespace

std::string MimePackageText()
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const MarloxFileType& t : GetMarloxFileTypes()) {
        const std::string type = t.mimeType;
        xml += "  <mime-type type=\"" + type + "\">\n";
        xml += "    <comment>" + XmlEscape(t.comment) + "</comment>\n";
        xml += "    <icon name=\"" + std::string(t.iconName) + "\"/>\n";
        // Workspaces and templates are compound files: a file manager that
        // finds two types for "*.mxf" (ours and the video type) takes the one
        // that the file's content, a compound file, belongs to.
        if (type == "application/x-marlox-workspace" || type == "application/x-marlox-template")
            xml += "    <sub-class-of type=\"application/x-ole-storage\"/>\n";
        // Above the compound files' own 50; below 80, so that the name still
        // tells a template from a workspace.
        if (type == "application/x-marlox-workspace")
            xml += WorkspaceMagic(60);
        else if (type == "application/x-marlox-template")
            xml += WorkspaceMagic(55);
        else if (type == "application/x-marlox-item")
            xml += "    <magic priority=\"80\">\n"
                   "      <match type=\"string\" offset=\"0\" value=\"" + std::string(kItemMagic) + "\"/>\n"
                   "    </magic>\n";
        xml += "    <glob pattern=\"*." + std::string(t.extension) + "\"/>\n";
        xml += "  </mime-type>\n";
    }
    for (const StoredItemKind& kind : GetStoredItemKinds()) {
        xml += "  <mime-type type=\"" + std::string(kind.mimeType) + "\">\n";
        xml += "    <comment>" + XmlEscape(kind.comment) + "</comment>\n";
        xml += "    <icon name=\"" + std::string(kind.iconName) + "\"/>\n";
        xml += "    <sub-class-of type=\"application/x-marlox-item\"/>\n";
        xml += StoredItemKindMagic(kind.iconIndex);
        // The same name as the stored-item type: a file manager that finds
        // several types by name lets the header decide between them.
        xml += "    <glob pattern=\"*.mxc\"/>\n";
        xml += "  </mime-type>\n";
    }
    xml += "</mime-info>\n";
    return xml;
}

std::string FileTypeIconText(const MarloxFileType& type)
{
    // A stored item whose kind is not known shows the stored-item picture of
    // the item kinds; the types that have a picture of their own show it; the
    // others a lettered sheet.
    if (std::string_view(type.iconName) == "application-x-marlox-item")
        return FindItemIconText("stored");
    if (std::string text = FindItemIconText(type.iconName); !text.empty())
        return text;
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n"
           "  <path d=\"M12 4h28l12 12v44H12z\" fill=\"#ffffff\" stroke=\"#404040\" stroke-width=\"2\"/>\n"
           "  <path d=\"M40 4v12h12\" fill=\"none\" stroke=\"#404040\" stroke-width=\"2\"/>\n"
           "  <rect x=\"18\" y=\"26\" width=\"28\" height=\"28\" rx=\"4\" fill=\"" + std::string(type.colour) + "\"/>\n"
           "  <text x=\"32\" y=\"48\" font-family=\"sans-serif\" font-size=\"20\" font-weight=\"bold\" "
           "text-anchor=\"middle\" fill=\"#ffffff\">" + type.letter + "</text>\n"
           "</svg>\n";
}

std::string ApplicationIconText()
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n"
           "  <rect x=\"4\" y=\"4\" width=\"56\" height=\"56\" rx=\"8\" fill=\"#2f6db5\"/>\n"
           "  <path d=\"M12 50h40M12 50V12\" stroke=\"#ffffff\" stroke-width=\"3\" fill=\"none\"/>\n"
           "  <path d=\"M14 46C24 44 30 30 50 16\" stroke=\"#ffd24a\" stroke-width=\"3\" fill=\"none\"/>\n"
           "  <g fill=\"#ffffff\"><circle cx=\"20\" cy=\"42\" r=\"2.5\"/><circle cx=\"30\" cy=\"34\" r=\"2.5\"/>"
           "<circle cx=\"40\" cy=\"23\" r=\"2.5\"/><circle cx=\"48\" cy=\"19\" r=\"2.5\"/></g>\n"
           "</svg>\n";
}

std::string StoredItemKindIconText(const StoredItemKind& kind)
{
    if (std::string text = FindItemIconText(kind.itemIcon); !text.empty())
        return text;
    for (const MarloxFileType& t : GetMarloxFileTypes())
        if (std::string_view(t.mimeType) == "application/x-marlox-item")
            return FileTypeIconText(t);
    return {};
}

std::string ThumbnailerPath(const std::string& programPath)
{
    return (fs::path(programPath).parent_path() / "marlox-thumbnailer").string();
}

std::string ThumbnailerEntryText(const std::string& thumbnailerPath)
{
    std::string types = "application/x-marlox-workspace;application/x-marlox-template;application/x-marlox-item;";
    for (const StoredItemKind& kind : GetStoredItemKinds())
        types += std::string(kind.mimeType) + ";";
    const std::string program = QuoteDesktopExecArgument(thumbnailerPath);
    return "[Thumbnailer Entry]\n"
           "TryExec=" + program + "\n"
           "Exec=" + program + " -s %s %i %o\n"
           "MimeType=" + types + "\n";
}

std::string XdgDataHome()
{
    if (const char* v = std::getenv("XDG_DATA_HOME"); v && *v == '/')
        return v;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/share";
}

namespace {

// The icon as scalable text and as a PNG in every fixed size folder.
bool WriteIcon(const fs::path& hicolor, const char* context, const std::string& name, const std::string& svg,
               std::string* error)
{
    if (!WriteTextFile(hicolor / "scalable" / context / (name + ".svg"), svg, error))
        return false;
    for (int size : IconThemeSizes()) {
        const QByteArray png = SvgToPng(QByteArray::fromStdString(svg), size);
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        if (png.isEmpty()) {
            if (error)
                *error = "cannot draw the icon " + name;
            return false;
        }
        if (!WriteTextFile(hicolor / folder / context / (name + ".png"), png.toStdString(), error))
            return false;
    }
    return true;
}

} // namespace

bool InstallDesktopIntegration(const std::string& programPath, const std::string& dataHome, bool runUpdaters,
                               std::string* error)
{
    fs::path root(dataHome);
    const fs::path hicolor = root / "icons" / "hicolor";
    if (!WriteTextFile(root / "applications" / "marlox.desktop", DesktopEntryText(programPath), error)
        || !WriteTextFile(root / "applications" / "marlox-template.desktop", TemplateDesktopEntryText(programPath), error)
        || !WriteTextFile(root / "mime" / "packages" / "marlox.xml", MimePackageText(), error)
        || !WriteTextFile(root / "thumbnailers" / "marlox.thumbnailer", ThumbnailerEntryText(ThumbnailerPath(programPath)),
                          error)
        || !WriteIcon(hicolor, "apps", "marlox", ApplicationIconText(), error))
        return false;
    for (const MarloxFileType& t : GetMarloxFileTypes())
        if (!WriteIcon(hicolor, "mimetypes", t.iconName, FileTypeIconText(t), error))
            return false;
    for (const StoredItemKind& kind : GetStoredItemKinds())
        if (!WriteIcon(hicolor, "mimetypes", kind.iconName, StoredItemKindIconText(kind), error))
            return false;
    if (runUpdaters) {
        RunTool("update-mime-database", (root / "mime").string());
        RunTool("update-desktop-database", (root / "applications").string());
        // Only a theme folder with an index has a cache; a missing one is no error.
        if (fs::exists(hicolor / "index.theme"))
            RunTool("gtk-update-icon-cache", hicolor.string());
    }
    return true;
}

int RunDesktopInstall(const std::string& programPath, std::ostream& report)
{
    std::string error;
    std::string home = XdgDataHome();
    if (!InstallDesktopIntegration(programPath, home, true, &error)) {
        report << GetAppName() << ": the desktop files could not be installed: " << error << "\n";
        return 1;
    }
    report << GetAppName() << ": file types and desktop entries installed below " << home << "\n";
    return 0;
}
