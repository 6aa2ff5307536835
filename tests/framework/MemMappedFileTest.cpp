#include "framework/MemMappedFile.h"

#include "platform/Archive.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <numeric>
#include <sys/mman.h>
#include <unistd.h>

namespace {

std::vector<BYTE> Pattern(std::size_t n)
{
    std::vector<BYTE> bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = BYTE(i * 7 + 1);
    return bytes;
}

} // namespace

TEST(MemMappedFile, HoldsExactlyItsSize)
{
    // Sizes below, at and just past a page.
    for (std::size_t size : {std::size_t(1), std::size_t(100), std::size_t(4096), std::size_t(4097)}) {
        CMemMappedFile file(size);
        EXPECT_EQ(file.GetLength(), size);
        EXPECT_TRUE(file.OwnsMapping());
        const auto bytes = Pattern(size);
        file.Write(bytes.data(), size);
        EXPECT_EQ(file.GetPosition(), size);
        const BYTE extra = 0xEE;
        try {
            file.Write(&extra, 1);
            ADD_FAILURE() << "a write past " << size << " bytes was taken";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::diskFull);
        }
        // What was written is still there, and the file has not grown.
        EXPECT_EQ(file.GetLength(), size);
        std::vector<BYTE> back(size);
        file.SeekToBegin();
        EXPECT_EQ(file.Read(back.data(), size + 10), size);
        EXPECT_EQ(back, bytes);
    }
}

TEST(MemMappedFile, AWriteThatDoesNotFitWritesNothing)
{
    CMemMappedFile file(8);
    const auto bytes = Pattern(8);
    file.Write(bytes.data(), 8);
    file.Seek(5, CFile::begin);
    const BYTE four[] = {0, 0, 0, 0};
    EXPECT_THROW(file.Write(four, 4), CFileException);
    EXPECT_EQ(std::vector<BYTE>(file.GetBuffer(), file.GetBuffer() + 8), bytes);
    EXPECT_EQ(file.GetPosition(), 5u);
    file.Seek(100, CFile::begin);
    EXPECT_THROW(file.Write(four, 1), CFileException);
    EXPECT_THROW(file.SetLength(9), CFileException);
    // Shrinking and growing back within the size is allowed; the regrown tail reads as zeros.
    file.SetLength(3);
    EXPECT_EQ(file.GetLength(), 3u);
    file.SetLength(8);
    EXPECT_EQ(file.GetBuffer()[5], 0);
    EXPECT_EQ(file.GetBuffer()[2], bytes[2]);
}

TEST(MemMappedFile, SizeZeroTakesNoBytes)
{
    CMemMappedFile file(0);
    EXPECT_EQ(file.GetLength(), 0u);
    BYTE b = 1;
    EXPECT_THROW(file.Write(&b, 1), CFileException);
    EXPECT_EQ(file.Read(&b, 1), 0u);
}

TEST(MemMappedFile, ArchivesWriteAndReadThroughIt)
{
    CMemMappedFile file(64);
    file.SetLength(0);
    {
        CArchive ar(&file, CArchive::store);
        ar << std::int32_t(-7) << 2.5 << std::string("text");
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    std::int32_t i = 0;
    double d = 0;
    std::string s;
    ar >> i >> d >> s;
    EXPECT_EQ(i, -7);
    EXPECT_EQ(d, 2.5);
    EXPECT_EQ(s, "text");
}

TEST(MemMappedFile, AGivenMappingIsSharedAndNeverClosed)
{
    int fd = ::memfd_create("test-mapping", MFD_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 32), 0);
    {
        CMemMappedFile view(fd, 32);
        EXPECT_FALSE(view.OwnsMapping());
        EXPECT_EQ(view.GetMapping(), fd);
        EXPECT_EQ(view.GetLength(), 32u);
        const char text[] = "shared";
        view.Write(text, sizeof text);
        BYTE b = 0;
        view.Seek(32, CFile::begin);
        EXPECT_THROW(view.Write(&b, 1), CFileException);
    }
    // Still open after the view is gone, and it holds what the view wrote.
    EXPECT_NE(::fcntl(fd, F_GETFD), -1);
    char back[7] = {};
    ASSERT_EQ(::pread(fd, back, sizeof back, 0), 7);
    EXPECT_STREQ(back, "shared");
    ::close(fd);
}

TEST(MemMappedFile, TwoFilesOverOneMappingSeeEachOther)
{
    CMemMappedFile owner(16);
    CMemMappedFile other(owner.GetMapping(), 16);
    const BYTE bytes[] = {1, 2, 3};
    owner.Write(bytes, 3);
    BYTE back[3] = {};
    EXPECT_EQ(other.Read(back, 3), 3u);
    EXPECT_EQ(back[2], 3);
}

TEST(MemMappedFile, AMappingSmallerThanAskedIsRefused)
{
    int fd = ::memfd_create("small", MFD_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 10), 0);
    EXPECT_THROW(CMemMappedFile(fd, 4096 * 2), std::bad_alloc);
    EXPECT_THROW(CMemMappedFile(-1, 8), std::bad_alloc);
    EXPECT_NE(::fcntl(fd, F_GETFD), -1); // a refused mapping is not closed either
    ::close(fd);
}
