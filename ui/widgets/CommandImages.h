// Gives every menu command the picture it has on a toolbar. Toolbars are
// loaded in a fixed order and the first one that shows a command gives it
// its image, so a command on two toolbars looks the same in every menu.
#pragma once

#include "platform/Types.h"

#include <QByteArray>
#include <QIcon>
#include <QString>

#include <map>
#include <utility>
#include <vector>

class QAction;

class CCommandImages {
public:
    // One toolbar strip: its command ids (0 for a separator) and one image per command.
    using Strip = std::vector<std::pair<UINT, QIcon>>;
    // Adds the strip's images; a command already known keeps its first image.
    void LoadToolbar(const Strip& strip);
    bool HasImage(UINT id) const { return m_images.count(id) != 0; }
    QIcon Image(UINT id) const;
    // Sets the action's icon when the command has an image.
    void Apply(QAction* action, UINT id) const;

    // A picture drawn from an SVG file (or resource) at the sizes that menus,
    // toolbars and lists ask for; a null icon when the file is no SVG.
    static QIcon SvgIcon(const QString& path);
    static QIcon SvgIconFromText(const QByteArray& svg);
    // The user's icon theme's picture of a freedesktop name (or its symbolic
    // form), else the fallback.
    static QIcon ThemeIcon(const QString& name, const QIcon& fallback);
    // Drawn pictures of the text formatting commands, for icon themes that lack them.
    enum Picture { Bold, Italic, Underline, AlignLeft, AlignCenter, AlignRight, Bullets };
    static QIcon DrawnIcon(Picture picture);

private:
    std::map<UINT, QIcon> m_images;
};
