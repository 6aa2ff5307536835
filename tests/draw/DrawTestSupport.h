// A page with a document and a window-less view for the drawing model's
// tests, and a writer for golden bytes built from the record layouts.
#pragma once

#include "draw/DrawData.h"
#include "draw/DrawViewBase.h"
#include "framework/ProjectDocBase.h"
#include "framework/WorkspaceHost.h"
#include "support/TestSupport.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// Records the update hints that reach the document's views.
class HintRecorder : public CDocView {
public:
    void OnUpdate(CDocView*, int hint, CObject* object) override { hints.emplace_back(hint, object); }
    int Count(int hint) const
    {
        int n = 0;
        for (const auto& h : hints)
            n += h.first == hint;
        return n;
    }
    std::vector<std::pair<int, CObject*>> hints;
};

// A view without a window: one device pixel is 8 page units.
class FakeView : public CDrawViewBase {
public:
    explicit FakeView(CDrawData* page = nullptr) : page(page) {}
    CDrawData* GetDrawData() const override { return page; }
    const std::vector<CDrawObj*>& GetSelection() const override { return selection; }
    SIZE GetPixelSize() const override { return pixel; }
    int GetKeyState() const override { return keys; }
    int GetZoomUnits() const override { return zoom; }
    void InvalObj(CDrawObj* obj) override { invalidated.push_back(obj); }
    void ShowDragOutline(CDrawObj* obj, bool on, int style) override { outlines.emplace_back(obj, on); }
    void RunPropertySheet(const std::string& title, int mask) override { sheets.emplace_back(title, mask); }

    CDrawData* page;
    std::vector<CDrawObj*> selection;
    SIZE pixel{8, 8};
    int keys = 0;
    int zoom = 100;
    std::vector<CDrawObj*> invalidated;
    std::vector<std::pair<CDrawObj*, bool>> outlines;
    std::vector<std::pair<std::string, int>> sheets;
};

// A page of a document whose views are recorded.
struct PageFixture {
    PageFixture()
    {
        page.SetDocument(&doc);
        doc.AddView(&views);
        page.InitPageSetup();
        views.hints.clear();
        doc.SetModifiedFlag(false);
    }
    ~PageFixture() { doc.RemoveView(&views); }
    CProjectDocBase doc;
    HintRecorder views;
    CDrawData page;
    FakeView view{&page};
};

// Golden bytes spelled out field by field.
class Golden {
public:
    Golden& i32(std::int32_t v) { return raw(&v, 4); }
    Golden& u32(std::uint32_t v) { return raw(&v, 4); }
    Golden& u16(std::uint16_t v) { return raw(&v, 2); }
    Golden& u8(std::uint8_t v) { return raw(&v, 1); }
    Golden& f64(double v) { return raw(&v, 8); }
    Golden& ints(std::initializer_list<std::int32_t> values)
    {
        for (std::int32_t v : values)
            i32(v);
        return *this;
    }
    Golden& text(const std::string& s) { return raw(s.data(), s.size()); }
    // A class met for the first time: 0xFFFF, the schema, the name's length and the name.
    Golden& newClass(const std::string& name, std::uint16_t schema = 0)
    {
        return u16(0xFFFF).u16(schema).u16(std::uint16_t(name.size())).text(name);
    }
    // A later object of the class with that index.
    Golden& knownClass(std::uint16_t index) { return u16(std::uint16_t(0x8000 | index)); }
    Golden& append(const Bytes& more)
    {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    Golden& raw(const void* p, std::size_t n)
    {
        const auto* b = static_cast<const BYTE*>(p);
        bytes.insert(bytes.end(), b, b + n);
        return *this;
    }
    Bytes bytes;
};

#include "draw/DrawDC.h"

#include <QImage>
#include <QPainter>

// Draws objects into a white image: one image pixel is `units` page units,
// the image's top-left corner is page point (0, height * units).
inline QImage RenderObjects(const std::vector<CDrawObj*>& objects, int width, int height, double units = 10.0,
                            CDrawViewBase* view = nullptr)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(1.0 / units, -1.0 / units);
    painter.translate(0, -height * units);
    CDrawDC dc;
    dc.painter = &painter;
    dc.pixelX = dc.pixelY = units;
    for (CDrawObj* obj : objects)
        obj->Draw(dc, view);
    return image;
}

inline bool IsDark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }
