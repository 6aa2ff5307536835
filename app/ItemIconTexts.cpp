#include "app/ItemIconTexts.h"

#include <QFile>
#include <QString>

namespace {

std::string ReadResource(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

} // namespace

std::string ItemIconPath(std::string_view kind, bool open)
{
    return ":/icons/items/" + std::string(kind) + (open ? "-open" : "") + ".svg";
}

std::string ActionIconPath(std::string_view name) { return ":/icons/actions/" + std::string(name) + ".svg"; }

std::string FindItemIconText(std::string_view name)
{
    // Only plain names: a name never reaches outside the two folders.
    if (name.empty() || name.find_first_of("/.:") != std::string_view::npos)
        return {};
    std::string text = ReadResource(ItemIconPath(name));
    if (text.empty())
        text = ReadResource(":/icons/filetypes/" + std::string(name) + ".svg");
    return text;
}
