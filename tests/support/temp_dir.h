#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Writes bytes to a file in the folder and returns its full path.
    std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::filesystem::path path_;
};

// The whole content of a file; empty when it cannot be read.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// Bytes 0, 1, 2, ... 255, 0, 1, ... of the given length.
std::vector<std::uint8_t> CountingBytes(std::size_t length);

// length bytes drawn from std::mt19937 seeded with seed, the same on every run.
std::vector<std::uint8_t> RandomBytes(std::size_t length, unsigned seed);
