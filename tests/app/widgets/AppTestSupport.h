// Helpers the program's window tests share.
#pragma once

#include "app/MXDoc.h"
#include "app/MXNotes.h"

#include <gtest/gtest.h>

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
