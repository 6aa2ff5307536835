// A stream inside a compound file, read and written like any other file so
// that archives work on it unchanged.
#pragma once

#include "platform/File.h"

#include <memory>
#include <string>
#include <vector>

class CStorageStream : public CFile {
public:
    // The stream's bytes are shared with the storage that holds them, so a
    // stream stays usable even when its element is destroyed or replaced
    // meanwhile (it then no longer belongs to the file).
    CStorageStream(std::shared_ptr<std::vector<BYTE>> data, std::string name);

    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::uint64_t Seek(std::int64_t offset, SeekPosition from) override;
    std::uint64_t GetPosition() const override { return m_position; }
    std::uint64_t GetLength() const override { return m_data->size(); }
    void SetLength(std::uint64_t length) override;
    // The element's name.
    std::string GetFilePath() const override { return m_name; }

    // Reserves room for a stream whose final size is known, so that writing
    // it does not move the bytes again as it grows.
    void Reserve(std::uint64_t length);

private:
    std::shared_ptr<std::vector<BYTE>> m_data;
    std::string m_name;
    std::uint64_t m_position = 0;
};
