// Makes the desktop know Marlox's files, for the current user only: a desktop
// entry that opens workspaces and the other files, a second one (hidden from
// menus) that makes a new workspace from a template, the file types in a
// shared-mime-info package of Marlox's own, and an icon per file kind. It is
// installed once (marlox --install-desktop, or scripts/install-desktop.sh),
// not rewritten at every start, and it never changes another program's types.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct MarloxFileType {
    const char* mimeType;   // "application/x-marlox-workspace"
    const char* extension;  // "mxf"
    const char* comment;    // the type's name as file managers show it
    const char* iconName;   // freedesktop icon name, derived from the type
    const char* letter;     // the letter on the type's icon, when it has no picture of its own
    const char* colour;     // the icon's colour
    bool openedByTemplateEntry;
};

// The seven file types: workspace (.mxf), template (.mxt), stored item
// (.mxc), equation library (.mxl), data filter (.mxr), version-3 data (.mxd)
// and version-3 equation (.mxe).
const std::vector<MarloxFileType>& GetMarloxFileTypes();

// The kinds of item that a stored-item file (.mxc) holds, told by the icon
// index that its header carries; each kind is a sub-type of the stored-item
// type, so that file managers show every stored item with its kind's icon.
struct StoredItemKind {
    int iconIndex;         // as the header carries it
    const char* mimeType;  // "application/x-marlox-item-graph"
    const char* comment;   // the sub-type's name as file managers show it
    const char* iconName;  // freedesktop icon name of the sub-type
    const char* itemIcon;  // the kind's picture among the item icons (name without ".svg")
};
const std::vector<StoredItemKind>& GetStoredItemKinds();
// The kind of an icon index; null for 0 (the item base and objects of other
// programs), 1 (used by no kind) and anything out of range.
const StoredItemKind* FindStoredItemKind(int iconIndex);
// The theme's fixed sizes that get a PNG of every icon beside the scalable one.
const std::vector<int>& IconThemeSizes();

// Texts of the files that are installed.
std::string DesktopEntryText(const std::string& programPath);
std::string TemplateDesktopEntryText(const std::string& programPath);
std::string MimePackageText();
std::string FileTypeIconText(const MarloxFileType& type);
std::string ApplicationIconText();
// A stored-item kind's icon: the kind's item picture when the program has
// it, else the generic stored-item icon.
std::string StoredItemKindIconText(const StoredItemKind& kind);
// The desktop's thumbnailer entry for the workspace, template and stored-item types.
std::string ThumbnailerEntryText(const std::string& thumbnailerPath);
// The thumbnailer program installed beside the program.
std::string ThumbnailerPath(const std::string& programPath);

// An argument of a desktop entry's Exec key, quoted as freedesktop desktop
// entries require (and its backslashes doubled for the string value).
std::string QuoteDesktopExecArgument(const std::string& arg);

// The user's data folder: $XDG_DATA_HOME, else ~/.local/share.
std::string XdgDataHome();

// Writes the files below dataHome (applications/, mime/packages/,
// thumbnailers/, icons/hicolor/scalable/... and a PNG of each icon at every
// size of IconThemeSizes) and, when asked, runs update-mime-database,
// update-desktop-database and gtk-update-icon-cache on them. Returns false with a reason when a file
// could not be written.
bool InstallDesktopIntegration(const std::string& programPath, const std::string& dataHome, bool runUpdaters,
                               std::string* error = nullptr);

// What `marlox --install-desktop` does: installs for the current user below
// XdgDataHome(), runs the desktop's update tools, reports on the given stream
// and returns the program's exit code (0 on success).
int RunDesktopInstall(const std::string& programPath, std::ostream& report);
