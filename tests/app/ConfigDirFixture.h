// A fixture whose profile lives in a fresh temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ConfigDirFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "mx-prefs-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        for (const char* name : {"MARLOX_CONFIG_DIR", "MARLOX_SYSTEM_CONFIG_DIR"}) {
            const char* v = std::getenv(name);
            m_saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
        }
        std::filesystem::create_directories(m_dir / "user");
        std::filesystem::create_directories(m_dir / "system");
        ::setenv("MARLOX_CONFIG_DIR", (m_dir / "user").c_str(), 1);
        ::setenv("MARLOX_SYSTEM_CONFIG_DIR", (m_dir / "system").c_str(), 1);
    }
    void TearDown() override
    {
        for (const auto& [name, value] : m_saved)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        std::filesystem::remove_all(m_dir);
    }
    // A folder inside the temporary one, created.
    std::string Folder(const std::string& name)
    {
        std::filesystem::path p = m_dir / name;
        std::filesystem::create_directories(p);
        return p.string();
    }

    std::filesystem::path m_dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
