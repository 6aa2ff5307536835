// Objects of other programs embedded on a page. They cannot be shown or kept
// here: a stored page that holds one is read past it, the object is left out,
// and the user is told once how many were left out.
//
// The stored form read: the drawing object's record, a version word, the
// server's extent (two int32, 0.01 mm), the client item as an archived
// object, and the x and y scales (two doubles). The client item's record is
// the container's record of the embedding (int32 item number, int32 draw
// aspect, int32 byte count and that many bytes of the object's data) and its
// own version word.
#pragma once

#include "draw/DrawObj.h"

class CDrawOleObj : public CDrawObj {
    DECLARE_SERIAL(CDrawOleObj)
public:
    CDrawOleObj() = default;
    void Serialize(CArchive& ar) override;
    int CanRotate() override { return 0; }
};

class CDrawItem : public CObject {
    DECLARE_SERIAL(CDrawItem)
public:
    CDrawItem() = default;
    void Serialize(CArchive& ar) override;
};

// Counts the embedded objects left out while pages are read and says so
// once: the outermost report alive when one is met tells the user after the
// reading, unless the reading failed (its own message covers it). Without a
// report, the count waits for the next one.
class COleObjectSkips {
public:
    COleObjectSkips();
    ~COleObjectSkips();
    COleObjectSkips(const COleObjectSkips&) = delete;
    COleObjectSkips& operator=(const COleObjectSkips&) = delete;

    static void Note();
    // The count so far (and, with reset, forgets it).
    static int Count(bool reset = false);

private:
    int m_uncaught;
};
