#include "framework/MyIntVector.h"
#include "framework/MyVector.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(MyVector, GrowthRule)
{
    CMyVector v;
    v.SetSize(1);
    EXPECT_EQ(v.GetCapacity(), 1); // an empty vector grows to exactly what is asked
    v.SetSize(100);
    // size 1: step = max(4, 1/8) = 4, so the new capacity is max(100, 1 + 4)
    EXPECT_EQ(v.GetCapacity(), 100);
    v.SetSize(101);
    EXPECT_EQ(v.GetCapacity(), 112); // step 100 / 8 = 12
    v.SetSize(50);
    EXPECT_EQ(v.GetCapacity(), 112); // shrinking keeps the storage
    v[49] = 3.0;
    v.SetSize(60);
    EXPECT_EQ(v[49], 3.0);
    EXPECT_EQ(v[59], 0.0);
    v.SetSize(0);
    EXPECT_EQ(v.GetCapacity(), 0);
    CMyVector big;
    big.SetSize(20000);
    big.SetSize(20001);
    EXPECT_EQ(big.GetCapacity(), 20000 + 1024); // the step is capped at 1024
    CMyVector stepped;
    stepped.SetSize(10, 3);
    stepped.SetSize(11);
    EXPECT_EQ(stepped.GetCapacity(), 13);
}

TEST(MyVector, CopyResizesToTheSource)
{
    CMyVector a(3);
    a[0] = 1;
    a[2] = 3;
    CMyVector b(10);
    b = a;
    EXPECT_EQ(b.GetSize(), 3);
    EXPECT_EQ(b[2], 3.0);
}

TEST(MyVector, StoredFormAndLargeCounts)
{
    CMyVector v(2);
    v[0] = 1.0;
    v[1] = -2.0;
    EXPECT_EQ(ToHex(StoreBytes([&](CArchive& ar) { v.Serialize(ar); })),
              "02 00 00 00 00 00 00 00 F0 3F 00 00 00 00 00 00 00 C0");

    CMyVector many(70000);
    for (int i = 0; i < 70000; ++i)
        many[i] = i * 0.5;
    Bytes bytes = StoreBytes([&](CArchive& ar) { many.Serialize(ar); });
    EXPECT_EQ(ToHex(Bytes(bytes.begin(), bytes.begin() + 6)), "FF FF 70 11 01 00");
    EXPECT_EQ(bytes.size(), 6u + 8u * 70000);
    CMyVector back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    ASSERT_EQ(back.GetSize(), 70000);
    EXPECT_EQ(back[69999], 69999 * 0.5);

    // A count beyond the bytes that follow is refused before anything is allocated.
    EXPECT_THROW(LoadBytes(HexBytes("FF FF FF FF FF 7F 00"), [&](CArchive& ar) { back.Serialize(ar); }),
                 CArchiveException);
}

TEST(MyIntVector, StoredForm)
{
    CMyIntVector v;
    v.Add(-1);
    v.Add(7);
    Bytes bytes = StoreBytes([&](CArchive& ar) { v.Serialize(ar); });
    EXPECT_EQ(ToHex(bytes), "02 00 FF FF FF FF 07 00 00 00");
    CMyIntVector back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.GetSize(), 2);
    EXPECT_EQ(back[0], -1);
}
