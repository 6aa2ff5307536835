#include "platform/Reporter.h"

#include "platform/StringTable.h"

#include <cstdio>

namespace {

class StderrReporter : public CReporter {
public:
    int Show(const ReportedMessage& m) override
    {
        std::fprintf(stderr, "%s: %s\n", GetAppName().c_str(), m.text.c_str());
        return DefaultAnswer(m.type);
    }
};

StderrReporter g_stderrReporter;
CReporter* g_reporter = nullptr;

} // namespace

int DefaultAnswer(UINT type)
{
    // The box's default button: the second when the box says so.
    const bool second = (type & MB_DEFBUTTON2) != 0;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return second ? IDCANCEL : IDOK;
    case MB_ABORTRETRYIGNORE: return second ? IDRETRY : IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return second ? IDNO : IDYES;
    case MB_RETRYCANCEL: return second ? IDCANCEL : IDRETRY;
    default: return IDOK;
    }
}

CReporter* SetReporter(CReporter* reporter)
{
    CReporter* previous = g_reporter;
    g_reporter = reporter;
    return previous;
}

CReporter& GetReporter() { return g_reporter ? *g_reporter : g_stderrReporter; }

int ReportMessage(UINT stringId, std::initializer_list<std::string_view> args, UINT type, UINT helpId)
{
    ReportedMessage m;
    m.stringId = stringId;
    for (std::string_view a : args)
        m.args.emplace_back(a);
    m.text = FormatString(stringId, args);
    m.type = type;
    m.helpId = helpId == UINT(-1) ? stringId : helpId;
    return GetReporter().Show(m);
}

int ReportText(std::string_view text, UINT type, UINT helpId)
{
    ReportedMessage m;
    m.text = std::string(text);
    m.type = type;
    m.helpId = helpId;
    return GetReporter().Show(m);
}

void MessageBeep(UINT type) { GetReporter().Beep(type); }
