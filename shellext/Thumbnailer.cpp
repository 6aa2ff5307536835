#include "shellext/Thumbnailer.h"

#include "app/DesktopIntegration.h"
#include "app/MXDoc.h"
#include "app/MXGraph.h"
#include "draw/PageRender.h"
#include "equation/HardEquation.h"
#include "platform/Reporter.h"
#include "shellext/StoredItemHeader.h"

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr unsigned char kCompoundSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr unsigned char kItemMagic[8] = {'M', 'X', ' ', 'I', 't', 'e', 'm', '\0'};
// Page units (1/720 inch) per inch.
constexpr double kUnitsPerInch = 720.0;

// Nobody is there to answer: every question gets its "no" (or cancel), so a
// damaged item is not replaced by a stand-in and no library is trusted.
class CSilentReporter : public CReporter {
public:
    int Show(const ReportedMessage& message) override
    {
        switch (message.type & MB_TYPEMASK) {
        case MB_YESNO:
        case MB_YESNOCANCEL: return IDNO;
        case MB_OKCANCEL:
        case MB_RETRYCANCEL: return IDCANCEL;
        case MB_ABORTRETRYIGNORE: return IDABORT;
        default: return IDOK;
        }
    }
};

bool EndsWith(const std::string& path, std::string_view ending)
{
    if (path.size() < ending.size())
        return false;
    return std::equal(ending.begin(), ending.end(), path.end() - std::ptrdiff_t(ending.size()),
                      [](char a, char b) { return std::tolower((unsigned char)a) == std::tolower((unsigned char)b); });
}

QByteArray FileTypeIcon(const char* mimeType, int size)
{
    for (const MarloxFileType& t : GetMarloxFileTypes())
        if (std::string_view(t.mimeType) == mimeType)
            return SvgToPng(QByteArray::fromStdString(FileTypeIconText(t)), size);
    return {};
}

QByteArray StoredItemThumbnail(const std::string& path, int size)
{
    int index = 0;
    if (!ReadStoredItemIconIndex(path, index))
        return {};
    if (const StoredItemKind* kind = FindStoredItemKind(index))
        return SvgToPng(QByteArray::fromStdString(StoredItemKindIconText(*kind)), size);
    return FileTypeIcon("application/x-marlox-item", size);
}

QByteArray ToPng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

// The paper of the first graph (in list order) whose page holds anything.
QByteArray FirstGraphPage(CMXDoc& doc, int size)
{
    for (CMXProjectItem* item : doc.ItemsInRowOrder()) {
        auto* graph = dynamic_cast<CMXGraph*>(item);
        if (!graph || graph->GetPage().GetObjects().empty())
            continue;
        CDrawData& page = graph->GetPage();
        const RECT paper = page.GetPaperRect();
        const double width = std::abs(double(paper.right) - paper.left);
        const double height = std::abs(double(paper.top) - paper.bottom);
        if (width < 1 || height < 1)
            continue;
        const double dpi = size * kUnitsPerInch / std::max(width, height);
        QImage image = RenderPageImage(page, paper, dpi);
        // Rounding may give a pixel more than asked.
        if (image.width() > size || image.height() > size)
            image = image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return ToPng(image);
    }
    return {};
}

QByteArray WorkspaceThumbnail(const std::string& path, int size)
{
    CSilentReporter reporter;
    CReporter* previous = SetReporter(&reporter);
    QByteArray png;
    {
        CMXDoc doc;
        if (doc.OnOpenDocument(path)) {
            png = FirstGraphPage(doc, size);
            if (png.isEmpty())
                png = FileTypeIcon(EndsWith(path, ".mxt") ? "application/x-marlox-template"
                                                           : "application/x-marlox-workspace",
                                   size);
        }
    }
    SetReporter(previous);
    return png;
}

} // namespace

QByteArray MakeThumbnail(const std::string& path, int size)
{
    if (size < 1 || size > kMaxThumbnailSize)
        return {};
    // A file names libraries (equations compiled by the user); none runs here.
    CHardEquation::RefuseLibraries();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return {};
    unsigned char head[8] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return {};
    // Whatever bears the stored-item name is shown as the file manager shows
    // it, damaged header or not: with the icon its header gives.
    if (EndsWith(path, ".mxc") || (got == sizeof head && std::memcmp(head, kItemMagic, sizeof head) == 0))
        return StoredItemThumbnail(path, size);
    if (got == sizeof head && std::memcmp(head, kCompoundSignature, sizeof head) == 0)
        return WorkspaceThumbnail(path, size);
    return {};
}
