#include "app/widgets/DesktopClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

bool CDesktopClipboard::SetData(const ClipboardFormats& formats)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    auto* data = new QMimeData;
    for (const auto& [format, bytes] : formats)
        data->setData(QString::fromStdString(format),
                      QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    clipboard->setMimeData(data); // the clipboard takes the data
    return true;
}

bool CDesktopClipboard::HasFormat(const std::string& format) const
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    return data && data->hasFormat(QString::fromStdString(format));
}

std::vector<BYTE> CDesktopClipboard::GetData(const std::string& format) const
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data)
        return {};
    QByteArray bytes = data->data(QString::fromStdString(format));
    return std::vector<BYTE>(bytes.begin(), bytes.end());
}
