// Answers for tests that run the real program. With MARLOX_PROMPT_DIR naming
// a folder, a message box is not shown: box n is written to "<n>.asked" in
// that folder (its string id, its type and its text, a line each) and waits,
// as a box waits for its click, until the test writes the answer's number to
// "<n>.answer". Print jobs go to "print-<n>.pdf" there instead of a printer.
#pragma once

#include "platform/Reporter.h"

#include <QString>

#include <memory>

class QPrinter;

class CPromptScript : public CReporter {
public:
    explicit CPromptScript(QString folder);
    // The script the environment asks for, or none.
    static std::unique_ptr<CPromptScript> FromEnvironment();

    int Show(const ReportedMessage& message) override;
    // Points the printer at the next "print-<n>.pdf".
    void SetUpPrinter(QPrinter& printer);

private:
    QString m_folder;
    int m_asked = 0;
    int m_printed = 0;
};
