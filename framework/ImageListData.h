// An image list in its stored form: a 28-byte header ("IL", version, counts,
// image size, background colour, flags, overlays) followed by the image
// bitmap and, for masked lists, the mask bitmap, each as a bitmap file. The
// bytes are kept as read so that a list survives a load and a save unchanged.
#pragma once

#include "platform/Archive.h"
#include "platform/Types.h"

#include <vector>

class CImageListData {
public:
    bool IsEmpty() const { return m_bytes.empty(); }
    const std::vector<BYTE>& Bytes() const { return m_bytes; }
    void SetBytes(std::vector<BYTE> bytes) { m_bytes = std::move(bytes); }

    // Writes the stored form; an empty list cannot be written.
    void Write(CArchive& ar) const;
    // Reads one stored list, checking every size against the bytes that remain.
    void Read(CArchive& ar);

private:
    std::vector<BYTE> m_bytes;
};
