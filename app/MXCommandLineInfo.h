// What the program was asked to do when it started: open a file, print one,
// create a workspace from a template (`/new "template path"`), or just start
// with a new workspace. Start-up parses the arguments into this record and
// acts on it; a second start turns it into a request for the running copy.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CMXCommandLineInfo {
public:
    enum ShellCommand {
        FileNew = 0,
        FileOpen = 1,
        FilePrint = 2,
        FileNothing = 7,
        NewFromTemplate = 1000,
    };

    // One argument: a flag (without its leading "/", "-" or "--") or a
    // parameter; isLast after the final one.
    void ParseParam(std::string_view text, bool isFlag, bool isLast);
    // All arguments after the program's name, in order.
    void ParseArguments(const std::vector<std::string>& args);
    // Whether an argument is a flag. "-x" and "--x" are; "/x" is when no other
    // "/" follows, so that "/new" is a flag but "/home/ann/Study.mxf" a path.
    static bool IsFlag(std::string_view arg, std::string_view* flagText = nullptr);

    // The request that a second start hands to the running copy, in the
    // shell's command form: [open("path")], [print("path")] or [new("path")].
    // Empty when there is nothing to hand over (no file), or when the path
    // holds a double quote, which that form cannot carry.
    std::string ToDDECommand() const;

    ShellCommand m_nShellCommand = FileNew;
    std::string m_strFileName;
    bool m_bInstallDesktop = false; // --install-desktop: register the file types for this user
    bool m_bShowSplash = true;
    bool m_bStartMinimized = false; // -minimized
    std::vector<std::string> m_unknownFlags;
};

// A shell command addressed to the running program.
struct DDERequest {
    enum Kind { none, open, print, newFromTemplate };
    Kind kind = none;
    std::string path;
};

// Reads a command text. "[new(\"" must begin it exactly (case-sensitive) and
// the path runs to the next double quote; without that quote it is not
// understood. The open and print forms are the shell's: [open("path")] and
// [print("path")], command name in either case, blanks allowed around it.
DDERequest ParseDDECommand(std::string_view command);
