// A temporary folder that holds the XDG base folders of one test, removed afterwards.
#pragma once

#include "platform/Folders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class TestFolder {
public:
    // Points XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR into a fresh folder and restores
    // the product name, so no test reads or writes the real user's files.
    TestFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "molvane-test-XXXXXX").string();
        m_root = mkdtemp(pattern.data());
        std::filesystem::create_directories(m_root + "/runtime");
        if (const char* home = std::getenv("HOME")) m_home = home;
        setenv("XDG_CONFIG_HOME", (m_root + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (m_root + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (m_root + "/runtime").c_str(), 1);
        SetProductName("MolvaneTest");
    }
    ~TestFolder() {
        SetModuleFolder("");
        SetProductName("Molvane");
        setenv("HOME", m_home.c_str(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Root() const { return m_root; }
    std::string Path(const std::string& relative) const { return m_root + "/" + relative; }

    // Writes a file below the folder, creating its parents.
    std::string Write(const std::string& relative, const std::string& content) const {
        const std::string path = Path(relative);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string m_root;
    std::string m_home;
};
