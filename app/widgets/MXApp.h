// The one application object of the program: it starts the program (settings,
// message boxes, clipboard, templates, main window, workspace list, the file
// to open) and ends it (settings written back), and keeps the preferences
// that other windows read from it.
#pragma once

#include "app/MXCommandLineInfo.h"
#include "app/MXProjectItem.h"
#include "app/Preferences.h"
#include "framework/RecentFileList.h"
#include "framework/widgets/ProjectAppBase.h"
#include "platform/Types.h"

#include <QPointer>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class CDesktopClipboard;
class CPromptScript;
class QPrinter;
class QTimer;
class CSingleInstanceChannel;
class CSplashBox;
class CMessageBoxReporter;
class CMXMainWnd;
class CClipboard;
class CReporter;

class CMXApp : public CProjectAppBase {
    Q_OBJECT
public:
    CMXApp();
    ~CMXApp() override;

    // Start-up; false ends the program.
    bool InitInstance(const QStringList& arguments);
    // Shutdown: windows closed, settings written; the exit code.
    int ExitInstance();

    CMXMainWnd* GetMainFrame() const;
    CProjectTemplateBase* GetNotepadTemplate() const { return m_pNotepadTemplate.get(); }
    CProjectTemplateBase* GetTableTemplate() const { return m_pTableTemplate.get(); }
    CProjectTemplateBase* GetGraphTemplate() const
    {
        auto it = m_itemTemplates.find(KIND_GRAPH);
        return it == m_itemTemplates.end() ? nullptr : it->second.get();
    }

    bool CreateWorkspaceBar(CProjectFrameMDIMain* mainFrame) override;
    void LoadSettings() override;
    void SaveSettings() override;
    CProjectTemplateBase* GetItemTemplate(const CProjectItemBase* item) const override;
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

    // Opens a workspace file in place of the open one; false when it failed.
    bool OpenWorkspace(const std::string& path);
    // Opens a workspace template as a new, untitled workspace.
    bool OpenFromTemplate(const std::string& path);
    // New workspace from a template chosen in the New sheet; false when none was made.
    bool NewFromTemplateSheet();
    // The Options sheet on the preferences; true after OK.
    bool RunOptions();
    // The equation-library folders of the preferences reach the library loader.
    void ApplyLibraryFolders();
    void SetLargeIcons(bool large);
    bool GetLargeIcons() const { return Preferences().GetLargeIcons(); }
    // Directories, author name, icon size and data filters, read at start-up and written at exit.
    CPreferences& Preferences() const { return CPreferences::Current(); }
    const std::string& GetDirectory(CPreferences::Directory which) const { return Preferences().GetDirectory(which); }
    // Where the New sheet and the file dialogs' folder buttons look for
    // workspace templates: the user's folder of the preferences, else the
    // "templates" folder beside the profile; the group folder of the
    // preferences, else the program's own "templates" folder (which holds the
    // blank workspace template).
    std::string GetTemplateFolder(bool group) const;

    // The recent files of the File menu.
    CRecentFileList& GetRecentFileList() { return m_recentFiles; }
    void AddToRecentFileList(const std::string& path);
    // Opens the recent file at that index; one that cannot be opened leaves the list.
    bool OpenRecentFile(std::size_t index);

    bool DoSave(CProjectDocBase* document, bool askPath) override;
    std::string PromptSavePath(CProjectDocBase* document) override;
    // The program's file dialog over the workspace types (opening) or the
    // document's own type and the template type (saving); empty when cancelled.
    std::string PromptFileName(const std::string& fileName, bool open);

    // Profile text forms of colours (" 12 34 56") and fonts ("700 1 0 0 0 34 Arial").
    static std::optional<COLORREF> ParseColour(std::string_view text);
    static std::string FormatColour(COLORREF colour);
    static bool ParseFont(std::string_view text, LOGFONT& font);
    static std::string FormatFont(const LOGFONT& font);
    COLORREF GetProfileColour(const char* section, const char* entry, COLORREF defaultColour) const;
    void WriteProfileColour(const char* section, const char* entry, COLORREF colour) const;
    bool GetProfileFont(const char* section, const char* entry, LOGFONT& font) const;
    void WriteProfileFont(const char* section, const char* entry, const LOGFONT& font) const;
    // Gives new data tables the table preferences (colours, font, text size).
    void ApplyTableDefaults();
    // "Save as Defaults" of a table's font page: new tables take this font and
    // size, and it is written with the settings at exit.
    void SetDefaultTableFont(const LOGFONT& font, int sizeTenthsPoint);

    // Start-up steps that other parts of the program supply. Each is a call
    // point: the window it stands for is shown from here.
    // The command line: fills the file to open (a plain path argument).
    virtual void ParseCommandLine(const QStringList& arguments);
    virtual void ShowSplashWindow();
    virtual void DestroySplashWindow();
    virtual void ShowStartupTip();
    virtual void RunAboutBox();
    virtual void RunTipOfTheDay();
    virtual void ShowHelp(UINT helpId);
    // A request handed over by a second start ([open("...")], [print("...")],
    // [new("...")]). Only taken note of, so that the sender has its answer at
    // once: it is carried out when the program is free. False when it is not understood.
    bool OnInstanceRequest(const std::string& command);
    // Carries out the requests that wait, one at a time, unless start-up, a
    // load or a prompt is running; then they wait for it to end.
    void ProcessInstanceRequests();
    std::size_t WaitingRequests() const { return m_requests.size(); }
    static constexpr std::size_t kMaxWaitingRequests = 64;
    // Whether start-up, a load, a save or a modal window is running.
    bool IsBusy() const;
    // Set when this start handed its request to a running copy and is to end quietly.
    bool HandedOver() const { return m_bHandedOver; }
    // What this start hands to a running copy (empty: nothing).
    const std::string& HandOverCommand() const { return m_strHandOver; }
    // The channel that makes this the running copy (null when another copy runs).
    CSingleInstanceChannel* GetChannel() const { return m_pChannel.get(); }

    // Prints the open workspace's items that have pages (notepads and data
    // tables) in list order, each as a print job of its own; the number printed.
    int PrintWorkspace();
    // Readies a print job: the default printer, as the shell's print command
    // asks, or the print dialog when no printer is installed. False: not printed.
    virtual bool SetUpPrinter(QPrinter& printer);
    // Closes the main window as the user would (asking about unsaved
    // changes) once no load or prompt runs and the requests already taken
    // are carried out: the program was told to end.
    void CloseWhenFree();

    // Data-table preferences, in their stored order.
    enum TableColour { ColorTextNoEdit, ColorTextRowCol, ColorTextHeading, ColorText, ColorGrid, ColorTextLocked };
    COLORREF m_tableColours[6] = {};
    LOGFONT m_tableFont;
    int m_nTableTextSize = 100;
    bool m_bTableChanged = false;
    // The file named on the command line, and whether it is a template to start a new workspace from.
    std::string m_strFileToOpen;
    bool m_bNewFromTemplate = false;
    bool m_bInstallDesktop = false;
    bool m_bStartMinimized = false;

signals:
    // The installed data filters changed (the Options sheet's filter page).
    void filtersChanged();

protected:
    // Set while a template is opened: a template is no recent workspace.
    int m_nSuppressRecentFiles = 0;
    bool m_bSettingsLoaded = false;
    CRecentFileList m_recentFiles{4};
    bool m_bHandedOver = false;
    std::string m_strHandOver;
    // Requests of later starts, oldest first, and whether start-up is over.
    std::deque<DDERequest> m_requests;
    QTimer* m_pRequestTimer = nullptr;
    bool m_bStarted = false;
    int m_nBusy = 0;
    std::unique_ptr<CPromptScript> m_pPromptScript;
    QPointer<CSplashBox> m_pSplash;
    std::unique_ptr<CSingleInstanceChannel> m_pChannel;
    std::unique_ptr<CProjectTemplateBase> m_pNotepadTemplate;
    std::unique_ptr<CProjectTemplateBase> m_pTableTemplate;
    std::map<int, std::unique_ptr<CProjectTemplateBase>> m_itemTemplates;
    std::unique_ptr<CMessageBoxReporter> m_pReporter;
    std::unique_ptr<CDesktopClipboard> m_pClipboard;
    CReporter* m_pOldReporter = nullptr;
    CClipboard* m_pOldClipboard = nullptr;
};

CMXApp* GetMXApp();
