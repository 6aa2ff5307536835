// Help requests of the program: the application's filter in front of them,
// the main window's mapping of a help id to a page through the topic map,
// and the pages themselves in the help window. The help folder ("help") and
// the topic map ("marlox.ini") lie beside the program.
#pragma once

#include "platform/Types.h"

#include <QString>

class CHelpTopicMap;
class QWidget;

class CMXHelp {
public:
    // Help ids of windows and dialogs: this base plus their resource number;
    // those of messages: kPromptHelpBase plus the message's number.
    static constexpr DWORD kResourceHelpBase = 0x20000;
    static constexpr DWORD kPromptHelpBase = 0x30000;
    // The help id a dialog carries (its "helpId" property); 0 when none.
    static DWORD HelpIdOf(const QWidget* window);
    static void SetHelpId(QWidget* window, DWORD helpId);
    // F1 in a dialog or another window of the program: that window's page
    // through the topic map, or the contents when it has none. The main
    // window handles F1 itself (the active item window's page).
    static void InstallF1Handler();

    // The folder of help pages and the topic map; by default those beside the
    // program. Tests point them elsewhere.
    static QString GetHelpFolder();
    static QString GetTopicMapPath();
    static void SetLocations(const QString& helpFolder, const QString& topicMapPath);
    // Help is available when the folder holds its contents page.
    static bool IsHelpAvailable();
    // The topic map, read once (again after SetLocations).
    static const CHelpTopicMap& GetTopicMap();

    // The application's help call: ignores ids 0x20000 up to 0x30000, reduces
    // ids above 0x200000 by 0x200000, then asks the main window.
    static void ApplicationWinHelp(QWidget* mainWindow, DWORD helpId, UINT command);
    // The main window's help call: HELP_CONTEXT shows the mapped page (string
    // 1209 when there is none), HELP_CONTENTS the contents page; nothing when
    // help is not available. Returns the help window, or null.
    static QWidget* MainWindowWinHelp(QWidget* frame, DWORD helpId, UINT command);
    // Help/Contents.
    static QWidget* ShowContents(QWidget* frame);
};
