// Helpers the program's window tests share.
#pragma once

#include "app/MXDoc.h"
#include "app/MXNotes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

// Saves a workspace that holds one notepad of that name at path.
inline std::string SaveNotesWorkspace(const std::string& path, const std::string& noteName)
{
    CMXDoc other;
    auto* notes = new CMXNotes(&other);
    notes->SetName(noteName);
    EXPECT_TRUE(other.OnSaveDocument(path));
    return path;
}

// Writes a version-3 workspace file with one notepad record ("Run", text
// "hello"), or an equation file with no records, at path.
inline std::string WriteVersion3File(const std::string& path, bool workspace)
{
    std::string bytes;
    auto word = [&](int v) {
        bytes.push_back(char(v & 0xFF));
        bytes.push_back(char((v >> 8) & 0xFF));
    };
    if (workspace) {
        bytes = "mx_VZK";
        word(2), word(2), word(0), bytes.append(4, '\0');
        word(2), word(0), bytes.append(22, '\0'); // a notepad record
        word(5), word(0), word(0);
        bytes += std::string("Run").append(29, '\0') + "hello";
        word(-1), word(0), bytes.append(22, '\0');
    } else {
        bytes = "AEQVZK";
    }
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return path;
}
