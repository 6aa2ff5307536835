// Shared test helpers: a reporter that records every message and answers from
// a script, and round trips through an in-memory archive.
#pragma once

#include "platform/Archive.h"
#include "platform/Clipboard.h"
#include "platform/File.h"
#include "platform/Reporter.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class RecordingReporter : public CReporter {
public:
    RecordingReporter() { m_previous = SetReporter(this); }
    ~RecordingReporter() override { SetReporter(m_previous); }

    int Show(const ReportedMessage& message) override;
    void Beep(UINT type) override { ++beeps; }

    // Answers given to the next boxes, in order; afterwards each box gets its first button.
    void Answer(int answer) { m_answers.push_back(answer); }
    std::vector<UINT> Ids() const;

    std::vector<ReportedMessage> messages;
    int beeps = 0;

private:
    CReporter* m_previous;
    std::deque<int> m_answers;
};

// A clipboard inside the test, installed for the test's lifetime.
class MemoryClipboard : public CClipboard {
public:
    MemoryClipboard() { m_previous = SetClipboard(this); }
    ~MemoryClipboard() override { SetClipboard(m_previous); }
    bool SetData(const ClipboardFormats& f) override
    {
        formats = f;
        return true;
    }
    bool HasFormat(const std::string& f) const override { return formats.count(f) != 0; }
    std::vector<BYTE> GetData(const std::string& f) const override
    {
        const auto it = formats.find(f);
        return it == formats.end() ? std::vector<BYTE>{} : it->second;
    }
    ClipboardFormats formats;

private:
    CClipboard* m_previous;
};

using Bytes = std::vector<BYTE>;

// Runs body on a storing archive and returns the bytes written.
Bytes StoreBytes(const std::function<void(CArchive&)>& body);
// Runs body on a loading archive over bytes; returns how many bytes were left unread.
std::size_t LoadBytes(const Bytes& bytes, const std::function<void(CArchive&)>& body);
Bytes HexBytes(const std::string& hex); // "01 ff 0A" -> {1, 255, 10}
std::string ToHex(const Bytes& bytes);

// Inputs that once broke the program, kept in tests/repro/.
std::string ReproPath(const std::string& name);
Bytes ReadRepro(const std::string& name);
