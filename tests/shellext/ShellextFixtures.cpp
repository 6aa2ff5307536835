#include "ShellextFixtures.h"

#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXGraph.h"
#include "app/MXGrid.h"
#include "app/MXHardEquation.h"
#include "app/MXLinear.h"
#include "app/MXNonLinear.h"
#include "app/MXNotes.h"
#include "app/MXTransform.h"
#include "draw/DrawRect.h"
#include "graph/DrawGraph.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace shellext_test {

ScratchFolder::ScratchFolder()
{
    std::string pattern = (fs::temp_directory_path() / "mx-shellext-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        m_path = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ec;
    if (!m_path.empty())
        fs::remove_all(m_path, ec);
}

std::vector<StoredItemFile> WriteStoredItemOfEveryKind(const ScratchFolder& folder)
{
    CMXDoc doc;
    EXPECT_TRUE(doc.OnNewDocument());
    std::vector<CMXProjectItem*> items{new CMXEquation(&doc), new CMXGraph(&doc),     new CMXGrid(&doc),
                                       new CMXNotes(&doc),    new CMXLinear(&doc),    new CMXNonLinear(&doc),
                                       new CMXTransform(&doc), new CMXHardEquation(&doc)};
    std::vector<StoredItemFile> files;
    for (CMXProjectItem* item : items) {
        item->InitNewItem();
        const int index = item->GetStoreIconIndex();
        const std::string path = folder.File("kind" + std::to_string(index) + ".mxc");
        item->SaveToFile(path);
        files.push_back({index, path});
    }
    return files;
}

std::string WriteNotesWorkspace(const std::string& path)
{
    CMXDoc doc;
    EXPECT_TRUE(doc.OnNewDocument());
    (new CMXNotes(&doc))->InitNewItem();
    EXPECT_TRUE(doc.OnSaveDocument(path));
    return path;
}

std::string WriteGraphWorkspace(const std::string& path)
{
    CMXDoc doc;
    EXPECT_TRUE(doc.OnNewDocument());
    (new CMXNotes(&doc))->InitNewItem();
    auto* graph = new CMXGraph(&doc);
    graph->InitNewItem();
    CMXDrawData& page = graph->GetPage();
    const RECT paper = page.GetPaperRect();
    const int cx = (paper.left + paper.right) / 2, cy = (paper.top + paper.bottom) / 2;
    auto* rect = new CDrawRect({cx - 1500, cy + 1500, cx + 1500, cy - 1500}, &page);
    rect->SetFillColor(0x0000FF); // red, as a COLORREF
    rect->SetFillStyle(1, false);
    page.AddObject(rect);
    EXPECT_TRUE(doc.OnSaveDocument(path));
    return path;
}

std::string WriteXYGraphWorkspace(const std::string& path)
{
    CMXDoc doc;
    EXPECT_TRUE(doc.OnNewDocument());
    auto* item = new CMXGraph(&doc);
    item->InitNewItem();
    CMXDrawData& page = item->GetPage();
    const RECT paper = page.GetPaperRect();
    const int cx = (paper.left + paper.right) / 2, cy = (paper.top + paper.bottom) / 2;
    // A new graph puts itself, its axes' texts and its legend on the page.
    new CDrawXYGraph(RECT{cx - 2000, cy - 1500, cx + 2000, cy + 1500}, &page);
    EXPECT_TRUE(doc.OnSaveDocument(path));
    return path;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace shellext_test

#include "ProgramRunner.h"

#include <sys/wait.h>

namespace shellext_test {

int RunProgram(const std::vector<std::string>& args, const std::vector<std::string>& environment, std::string* output)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], 1);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        for (const std::string& entry : environment)
            ::putenv(const_cast<char*>(entry.c_str()));
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(n));
    ::close(pipeFds[0]);
    if (output)
        *output = text;
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace shellext_test
