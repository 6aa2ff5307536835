#include "equation/FormattedSource.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(FormattedSource, StoredForm)
{
    CFormattedSource none;
    // version 0, no stream
    EXPECT_EQ(ToHex(StoreBytes([&](CArchive& ar) { none.Serialize(ar); })), "00 00 00 00 00 00 00 00");
    CFormattedSource text;
    text.SetRtf("{\\rtf}");
    // version 0, a stream of 6 bytes
    const Bytes bytes = StoreBytes([&](CArchive& ar) { text.Serialize(ar); });
    EXPECT_EQ(ToHex(bytes), "00 00 00 00 01 00 00 00 06 00 00 00 7B 5C 72 74 66 7D");
    CFormattedSource back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_EQ(back, text);
    // A length beyond the bytes there are, or below 0, is refused.
    for (const char* damaged : {"00 00 00 00 01 00 00 00 07 00 00 00 7B 5C 72 74 66 7D",
                                "00 00 00 00 01 00 00 00 FF FF FF FF"}) {
        CFormattedSource bad;
        EXPECT_THROW(LoadBytes(HexBytes(damaged), [&](CArchive& ar) { bad.Serialize(ar); }), CArchiveException);
    }
}
