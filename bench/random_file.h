#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

// A temporary file of random bytes for a benchmark, named after the process
// so parallel runs do not share it, and removed when it goes.
class RandomFile {
public:
    RandomFile(const std::string& name, std::size_t length, unsigned seed)
        : path_(
              (std::filesystem::temp_directory_path() / ("brixel-" + name + "-" + std::to_string(::getpid()) + ".bin"))
                  .string())
    {
        std::mt19937 random(seed);
        std::vector<char> bytes(length);
        for (auto& b : bytes)
            b = static_cast<char>(random());
        std::ofstream(path_, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~RandomFile() { std::remove(path_.c_str()); }
    RandomFile(const RandomFile&) = delete;
    RandomFile& operator=(const RandomFile&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};
