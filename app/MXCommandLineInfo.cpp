#include "app/MXCommandLineInfo.h"

#include <cctype>

void CMXCommandLineInfo::ParseParam(std::string_view text, bool isFlag, bool isLast)
{
    if (isFlag) {
        if (text == "new") {
            m_nShellCommand = NewFromTemplate;
        } else if (text == "p") {
            m_nShellCommand = FilePrint;
        } else if (text == "install-desktop") {
            m_bInstallDesktop = true;
            m_nShellCommand = FileNothing;
        } else if (text == "minimized") {
            m_bStartMinimized = true;
            m_bShowSplash = false;
        } else if (text == "nosplash") {
            m_bShowSplash = false;
        } else {
            m_unknownFlags.emplace_back(text); // ignored, as any flag nobody knows
        }
    } else if (m_strFileName.empty()) {
        m_strFileName = text;
    }
    if (isLast && m_nShellCommand == FileNew && !m_strFileName.empty())
        m_nShellCommand = FileOpen;
}

bool CMXCommandLineInfo::IsFlag(std::string_view arg, std::string_view* flagText)
{
    std::string_view rest;
    if (arg.size() > 2 && arg.substr(0, 2) == "--")
        rest = arg.substr(2);
    else if (arg.size() > 1 && arg[0] == '-')
        rest = arg.substr(1);
    else if (arg.size() > 1 && arg[0] == '/' && arg.find('/', 1) == std::string_view::npos)
        rest = arg.substr(1);
    else
        return false;
    if (flagText)
        *flagText = rest;
    return true;
}

void CMXCommandLineInfo::ParseArguments(const std::vector<std::string>& args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view flag;
        bool isFlag = IsFlag(args[i], &flag);
        ParseParam(isFlag ? flag : std::string_view(args[i]), isFlag, i + 1 == args.size());
    }
}

std::string CMXCommandLineInfo::ToDDECommand() const
{
    if (m_strFileName.empty() || m_strFileName.find('"') != std::string::npos)
        return {};
    const char* verb = nullptr;
    switch (m_nShellCommand) {
    case FileOpen: verb = "open"; break;
    case FilePrint: verb = "print"; break;
    case NewFromTemplate: verb = "new"; break;
    default: return {};
    }
    return std::string("[") + verb + "(\"" + m_strFileName + "\")]";
}

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

} // namespace

DDERequest ParseDDECommand(std::string_view command)
{
    DDERequest request;
    constexpr std::string_view kNew = "[new(\"";
    if (command.substr(0, kNew.size()) == kNew) {
        std::string_view rest = command.substr(kNew.size());
        std::size_t quote = rest.find('"');
        if (quote == std::string_view::npos)
            return request;
        request.kind = DDERequest::newFromTemplate;
        request.path = rest.substr(0, quote);
        return request;
    }
    // [verb("argument")]
    std::string_view s = Trim(command);
    if (s.size() < 2 || s.front() != '[' || s.back() != ']')
        return request;
    s = s.substr(1, s.size() - 2);
    std::size_t open = s.find('(');
    if (open == std::string_view::npos || s.back() != ')')
        return request;
    std::string_view verb = Trim(s.substr(0, open));
    std::string_view arg = Trim(s.substr(open + 1, s.size() - open - 2));
    if (arg.size() < 2 || arg.front() != '"' || arg.back() != '"')
        return request;
    arg = arg.substr(1, arg.size() - 2);
    if (arg.empty() || arg.find('"') != std::string_view::npos)
        return request;
    if (EqualsNoCase(verb, "open"))
        request.kind = DDERequest::open;
    else if (EqualsNoCase(verb, "print"))
        request.kind = DDERequest::print;
    else
        return request;
    request.path = arg;
    return request;
}
