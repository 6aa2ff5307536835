// A push button drawn from one picture of four equal parts side by side: up,
// pressed, focused and disabled. The picture's standard grey shades follow
// the button colours of the current palette.
#pragma once

#include <QImage>
#include <QPushButton>
#include <vector>

class CMappedBitmapButton : public QPushButton {
    Q_OBJECT
public:
    explicit CMappedBitmapButton(QWidget* parent = nullptr);

    // Cuts the strip into its four images; false when it is empty or
    // narrower than four pixels.
    bool LoadBitmap(const QImage& strip);
    bool LoadBitmap(const QString& path);
    // Makes the button as large as one image.
    void SizeToContent();
    QSize GetImageSize() const;
    int GetImageCount() const { return static_cast<int>(m_images.size()); }

    // Which image shows: 1 pressed, else 2 focused, else 3 disabled, else 0.
    static int ImageIndex(bool pressed, bool focused, bool disabled);
    int CurrentImageIndex() const;

    // Replaces the standard colours (light grey, white, dark grey, black) with
    // the palette's button face, light, shadow and window-frame colours.
    static QImage MapStandardColours(const QImage& image, const QPalette& palette);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    QSize sizeHint() const override;

private:
    void CutImages();

    QImage m_strip;
    std::vector<QImage> m_images;
};
