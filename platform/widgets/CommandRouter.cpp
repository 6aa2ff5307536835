#include "platform/widgets/CommandRouter.h"

#include <QAction>

void CCmdMap::On(UINT id, Handler handler, Updater updater)
{
    m_map[id] = {std::move(handler), std::move(updater)};
}

bool CCmdMap::OnCmdMsg(UINT id, CCmdUI* ui)
{
    auto it = m_map.find(id);
    if (it == m_map.end())
        return false;
    if (ui) {
        // A handler without an update is simply enabled.
        ui->Enable(bool(it->second.first));
        if (it->second.second)
            it->second.second(*ui);
    } else if (it->second.first) {
        it->second.first();
    }
    return true;
}

CCommandRouter::CCommandRouter(QObject* parent) : QObject(parent) {}

QAction* CCommandRouter::Register(QAction* action, UINT id)
{
    m_actions.emplace(id, action);
    m_defaultTexts.emplace(id, action->text());
    m_defaultTips.emplace(action, std::pair{action->statusTip(), action->toolTip()});
    connect(action, &QObject::destroyed, this, [this, action] { m_defaultTips.erase(action); });
    connect(action, &QAction::triggered, this, [this, id] {
        Execute(id);
        UpdateAll();
    });
    return action;
}

QAction* CCommandRouter::Action(UINT id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

UINT CCommandRouter::CommandOf(const QAction* action) const
{
    for (const auto& [id, a] : m_actions)
        if (a == action)
            return id;
    return 0;
}

bool CCommandRouter::Execute(UINT id)
{
    if (!m_route)
        return false;
    // A disabled command is never run, even when a shortcut reaches it.
    CCmdUI ui = Query(id);
    if (!ui.m_enabled.value_or(false))
        return false;
    for (CCmdTarget* target : m_route())
        if (target && target->OnCmdMsg(id, nullptr))
            return true;
    return false;
}

CCmdUI CCommandRouter::Query(UINT id) const
{
    CCmdUI ui(id);
    if (!m_route)
        return ui;
    for (CCmdTarget* target : m_route()) {
        CCmdUI probe(id);
        if (target && target->OnCmdMsg(id, &probe)) {
            // A target that only sets a text (as the application does for Undo)
            // without a handler leaves the command disabled.
            probe.m_enabled = probe.m_enabled.value_or(false);
            return probe;
        }
    }
    ui.m_enabled = false;
    return ui;
}

void CCommandRouter::UpdateAll()
{
    for (const auto& [id, action] : m_actions) {
        CCmdUI ui = Query(id);
        const bool enabled = ui.m_enabled.value_or(false);
        action->setEnabled(enabled);
        if (auto tips = m_defaultTips.find(action); tips != m_defaultTips.end()) {
            if (!enabled && ui.m_reason && !ui.m_reason->empty()) {
                const QString reason = QString::fromStdString(*ui.m_reason);
                action->setStatusTip(reason);
                action->setToolTip(tips->second.second + " (" + reason + ")");
            } else {
                action->setStatusTip(tips->second.first);
                action->setToolTip(tips->second.second);
            }
        }
        if (action->isCheckable())
            action->setChecked(ui.m_checked.value_or(false));
        if (ui.m_text) {
            // Menu texts carry their shortcut after a tab; the menu shows the action's own shortcut.
            std::string text = *ui.m_text;
            if (auto tab = text.find('\t'); tab != std::string::npos)
                text.resize(tab);
            action->setText(QString::fromStdString(text));
        } else {
            auto it = m_defaultTexts.find(id);
            if (it != m_defaultTexts.end())
                action->setText(it->second);
        }
    }
}
