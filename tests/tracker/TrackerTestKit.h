// Shared by the tracker's tests: a report read back from a file, and the
// report's entry and footer as they must be written.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "AllocationTracker.h"

// The bytes of a file, or "<missing>"; the file is removed.
inline std::string TakeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string text = in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    std::filesystem::remove(path);
    return text;
}

inline std::string Entry(const std::string& file, int line, const std::string& hex, int size) {
    return file + "\n\tLine " + std::to_string(line) + "\n\tAddress " + hex + "\n\t " +
           std::to_string(size) + " bytes unfreed\n\n";
}

inline std::string Footer(int total) {
    return std::string(59, '-') + "\nTotal Unfreed: " + std::to_string(total) + " bytes\n";
}
