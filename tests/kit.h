// A throw-away kit directory for tests that run the installer on the real
// file system, and the helpers to fill and inspect it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

class Kit {
public:
    Kit();
    ~Kit();
    Kit(const Kit &) = delete;
    Kit &operator=(const Kit &) = delete;

    const fs::path &root() const { return root_; }
    fs::path operator/(const std::string &relative) const { return root_ / relative; }

    // Writes content to relative (directories made as needed).
    void write(const std::string &relative, const std::string &content) const;
    // The content of relative; throws when it cannot be read.
    std::string read(const std::string &relative) const;
    // Every entry below the root, relative and sorted; directories end in "/".
    std::vector<std::string> tree() const;
    // Makes a directory below the root whose absolute path is exactly
    // length characters long, and returns it.
    fs::path directory_of_length(size_t length) const;

private:
    fs::path root_;
};

// Where the installer puts file (a path, relative or not): INCLUDE or LIB
// beside it for a name ending in .h or .lib in any letter case; empty for
// any other name.
fs::path installed_path(const fs::path &file);

// Bytes that are not text: a pattern that shifts with seed, of size bytes.
std::string binary_content(size_t size, unsigned seed);

// Runs the installer's entry in directory (the working directory is put
// back afterwards) and returns its exit status.
int run_installer_in(const fs::path &directory);
