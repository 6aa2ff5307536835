// A drop-down list whose entries are pictures (line styles, patterns, marker
// shapes). Each entry is a two-colour picture drawn in the list's colours:
// normal, selected and disabled.
#pragma once

#include "platform/Types.h"

#include <QComboBox>
#include <QImage>
#include <vector>

class CImageComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CImageComboBox(QWidget* parent = nullptr);

    // The two colours the pictures are drawn in (white background, black foreground by default).
    void SetSourceColours(COLORREF background, COLORREF foreground);
    bool AutoLoad(const std::vector<QImage>& pictures, COLORREF background, COLORREF foreground);
    bool AddEntry(const QImage& picture);
    bool ReplaceEntry(int index, const QImage& picture);
    void RemoveAll();

    enum ImageState { normal = 0, selected = 1, disabled = 2 };
    // The image of an entry as drawn in a state.
    QImage EntryImage(int index, ImageState state) const;
    QSize GetImageSize() const { return m_imageSize; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class Delegate;
    std::vector<QImage> MakeImages(const QImage& picture) const;
    void Remap();

    QRgb m_background = 0xFFFFFF;
    QRgb m_foreground = 0x000000;
    std::vector<QImage> m_sources;
    std::vector<QImage> m_images; // three per entry
    QSize m_imageSize{1, 1};
};
