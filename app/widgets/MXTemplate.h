// The workspace template of the program: it claims every file it is offered,
// because the workspace document reads all of the program's formats and
// refuses the rest with a message of its own.
#pragma once

#include "framework/widgets/ProjectTemplateBase.h"

#include <string>

class CMXTemplate : public CProjectTemplateBase {
public:
    using CProjectTemplateBase::CProjectTemplateBase;

    enum Confidence {
        noAttempt = 0,
        maybeAttemptForeign = 1,
        maybeAttemptNative = 2,
        yesAttemptForeign = 3,
        yesAttemptNative = 4,
        yesAlreadyOpen = 5,
    };
    // How sure the template is that it opens the file; an open document of
    // that path is handed back in match.
    Confidence MatchDocType(const std::string& path, CProjectDocBase*& match) const;
    // Replaces the document strings by a string of the table (the workspace
    // template switches between its own and the graph server's).
    void LoadTitle(UINT stringId);
};
