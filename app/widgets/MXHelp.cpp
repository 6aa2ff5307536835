#include "app/widgets/MXHelp.h"

#include "app/HelpTopicMap.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "ui/widgets/HtmlHelp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWhatsThis>
#include <QWidget>

#include <memory>

namespace {

struct HelpState {
    QString folder;
    QString topicMap;
    std::unique_ptr<CHelpTopicMap> map;
};

HelpState& State()
{
    static HelpState state;
    return state;
}

// Ends whatever mode the user is in (What's This, a drag, an open menu) before help shows.
void CancelModes()
{
    if (QWhatsThis::inWhatsThisMode())
        QWhatsThis::leaveWhatsThisMode();
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!popup->close())
            break;
    }
}

} // namespace

QString CMXHelp::GetHelpFolder()
{
    if (!State().folder.isEmpty())
        return State().folder;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help"));
}

QString CMXHelp::GetTopicMapPath()
{
    if (!State().topicMap.isEmpty())
        return State().topicMap;
    return QString::fromStdString(CHelpTopicMap::PathForProgram(QCoreApplication::applicationFilePath().toStdString()));
}

void CMXHelp::SetLocations(const QString& helpFolder, const QString& topicMapPath)
{
    State().folder = helpFolder;
    State().topicMap = topicMapPath;
    State().map.reset();
}

bool CMXHelp::IsHelpAvailable() { return QFileInfo(QDir(GetHelpFolder()), QStringLiteral("index.html")).isFile(); }

const CHelpTopicMap& CMXHelp::GetTopicMap()
{
    if (!State().map) {
        State().map = std::make_unique<CHelpTopicMap>();
        State().map->Load(GetTopicMapPath().toStdString());
    }
    return *State().map;
}

void CMXHelp::ApplicationWinHelp(QWidget* mainWindow, DWORD helpId, UINT command)
{
    if (!FilterApplicationHelpId(helpId))
        return;
    MainWindowWinHelp(mainWindow, helpId, command);
}

QWidget* CMXHelp::MainWindowWinHelp(QWidget* frame, DWORD helpId, UINT command)
{
    if (!IsHelpAvailable())
        return nullptr;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CancelModes();
    QApplication::restoreOverrideCursor();
    QWidget* owner = frame ? frame->window() : nullptr;
    QWidget* shown = nullptr;
    if (command == HELP_CONTEXT) {
        std::string topic = GetTopicMap().Lookup(helpId);
        if (topic.empty()) {
            ReportMessage(IDS_HELP_TOPIC_MISSING, {HelpKeyDecimal(helpId)}, MB_OKCANCEL | MB_ICONEXCLAMATION,
                          IDS_HELP_TOPIC_MISSING);
            return nullptr;
        }
        shown = HtmlHelp(owner, GetHelpFolder(), HH_DISPLAY_TOPIC, QString::fromStdString(topic));
    } else if (command == HELP_CONTENTS) {
        shown = HtmlHelp(owner, GetHelpFolder(), HH_DISPLAY_TOPIC);
    } else {
        return nullptr;
    }
    if (!shown)
        ReportText("Failed to launch help.", MB_OK | MB_ICONEXCLAMATION);
    return shown;
}

QWidget* CMXHelp::ShowContents(QWidget* frame) { return MainWindowWinHelp(frame, 0, HELP_CONTENTS); }
