// Temporary folders with real list files, for the tests of the engine and
// of the window's jobs.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

// A fresh folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
#ifdef _WIN32
        // The Windows build's tests (MinGW has no mkdtemp): a random name,
        // taken only if it is new.
        std::random_device random;
        do {
            m_path = std::filesystem::temp_directory_path() /
                     ("lintrim-test-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(m_path));
#else
        std::string pattern = (std::filesystem::temp_directory_path() / "lintrim-test-XXXXXX");
        m_path = ::mkdtemp(pattern.data());
#endif
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    std::string At(const std::string& name) const {
        return (m_path / name).string();
    }
    std::string File(const std::string& name, const std::string& bytes) const {
        std::ofstream(At(name), std::ios::binary) << bytes;
        return At(name);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    const std::filesystem::path& Path() const {
        return m_path;
    }

private:
    std::filesystem::path m_path;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
