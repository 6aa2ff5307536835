// Commands travel from menus and toolbars along a route of targets: the
// workspace list or the active item window, its view, the document, the
// application, the main window. The first target that claims a command runs
// it; the same route answers whether a command is enabled, checked and what
// its menu text says, so that menus and buttons always show the state of
// whatever window the user works in.
#pragma once

#include "platform/Types.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

class QAction;

// What an update asks of a command's target.
class CCmdUI {
public:
    explicit CCmdUI(UINT id) : m_nID(id) {}
    UINT m_nID;
    void Enable(bool on = true) { m_enabled = on; }
    void SetCheck(int check = 1) { m_checked = check != 0; }
    void SetRadio(bool on = true) { m_checked = on; }
    void SetText(const std::string& text) { m_text = text; }
    // Why the command is disabled; shown in its status text and tip while it is.
    void SetReason(const std::string& reason) { m_reason = reason; }

    std::optional<bool> m_enabled;
    std::optional<bool> m_checked;
    std::optional<std::string> m_text;
    std::optional<std::string> m_reason;
};

// One stop of the route.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // With ui null, runs the command; otherwise fills the update. True when
    // this target claims the command (later targets are then not asked).
    virtual bool OnCmdMsg(UINT id, CCmdUI* ui) = 0;
};

// A target made of handler tables, for windows that keep their commands in one place.
class CCmdMap : public CCmdTarget {
public:
    using Handler = std::function<void()>;
    using Updater = std::function<void(CCmdUI&)>;
    void On(UINT id, Handler handler, Updater updater = {});
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

private:
    std::map<UINT, std::pair<Handler, Updater>> m_map;
};

class CCommandRouter : public QObject {
    Q_OBJECT
public:
    using RouteProvider = std::function<std::vector<CCmdTarget*>()>;
    explicit CCommandRouter(QObject* parent = nullptr);

    void SetRoute(RouteProvider route) { m_route = std::move(route); }
    // Binds an action to a command: triggering runs the command along the route.
    QAction* Register(QAction* action, UINT id);
    QAction* Action(UINT id) const;
    UINT CommandOf(const QAction* action) const;

    // Runs the command; false when no target claimed it.
    bool Execute(UINT id);
    // Asks the route about one command. Nothing claiming it disables it.
    CCmdUI Query(UINT id) const;
    // Refreshes every registered action from the route.
    void UpdateAll();

private:
    std::multimap<UINT, QAction*> m_actions;
    std::map<UINT, QString> m_defaultTexts;
    // The status text and tip an action had when it was registered.
    std::map<const QAction*, std::pair<QString, QString>> m_defaultTips;
    RouteProvider m_route;
};
