// A file chooser for window tests: it keeps every request and answers from a
// script, so that no test waits on a real file dialog.
#pragma once

#include "platform/widgets/FileChooser.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

class ScriptedFileChooser : public CFileChooser {
public:
    ScriptedFileChooser() { m_previous = SetFileChooser(this); }
    ~ScriptedFileChooser() override { SetFileChooser(m_previous); }

    // The next request gets this path (with the filter it was offered, or the one given).
    void Answer(std::string path, int filter = -1) { m_answers.push_back(FileAnswer{std::move(path), filter}); }
    // The next request is cancelled; so is every request beyond the script.
    void Cancel() { m_answers.push_back(std::nullopt); }

    std::optional<FileAnswer> Choose(QWidget*, const FileRequest& request) override
    {
        requests.push_back(request);
        if (m_answers.empty())
            return std::nullopt;
        std::optional<FileAnswer> answer = m_answers.front();
        m_answers.pop_front();
        if (answer && answer->filter < 0)
            answer->filter = request.selectedFilter;
        return answer;
    }

    std::vector<FileRequest> requests;

private:
    CFileChooser* m_previous = nullptr;
    std::deque<std::optional<FileAnswer>> m_answers;
};
