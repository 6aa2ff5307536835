#include "ui/widgets/FileChooser.h"

#include "ui/widgets/DialogFileChooser.h"

namespace {

CFileChooser* s_chooser = nullptr;

} // namespace

CFileChooser* SetFileChooser(CFileChooser* chooser)
{
    CFileChooser* previous = s_chooser;
    s_chooser = chooser;
    return previous;
}

CFileChooser& GetFileChooser()
{
    static CDialogFileChooser dialogs;
    return s_chooser ? *s_chooser : dialogs;
}

std::optional<FileAnswer> ChooseFile(QWidget* parent, const FileRequest& request)
{
    return GetFileChooser().Choose(parent, request);
}

std::vector<std::string> FilterTextsFromBars(const std::string& bars)
{
    std::vector<std::string> filters;
    for (std::size_t pos = 0; pos < bars.size();) {
        const std::size_t bar = bars.find('|', pos);
        if (bar == std::string::npos || bar == pos)
            break;
        const std::size_t end = bars.find('|', bar + 1);
        if (end == std::string::npos)
            break;
        std::string patterns = bars.substr(bar + 1, end - bar - 1);
        for (char& c : patterns)
            if (c == ';')
                c = ' ';
        filters.push_back(bars.substr(pos, bar - pos) + " (" + patterns + ")");
        pos = end + 1;
    }
    return filters;
}

std::string FirstPatternOf(const std::string& filter)
{
    const std::size_t open = filter.rfind('(');
    if (open == std::string::npos)
        return {};
    std::size_t begin = filter.find_first_not_of(' ', open + 1);
    if (begin == std::string::npos)
        return {};
    const std::size_t end = filter.find_first_of(" )", begin);
    return filter.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (extension.empty() || nameStart >= path.size() || path.find('.', nameStart) != std::string::npos)
        return path;
    return path + "." + extension;
}
