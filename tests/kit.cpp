#include "kit.h"

#include "win32.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

Kit::Kit()
{
    static std::mt19937_64 names{std::random_device{}()};
    root_ = fs::temp_directory_path() / ("zovik-kit-" + std::to_string(names()));
    fs::create_directories(root_);
}

Kit::~Kit()
{
    std::error_code ignored;
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root_, ignored);
}

void Kit::write(const std::string &relative, const std::string &content) const
{
    fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::string Kit::read(const std::string &relative) const
{
    std::ifstream in(root_ / relative, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + relative);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Kit::tree() const
{
    std::vector<std::string> entries;
    for (auto it = fs::recursive_directory_iterator(root_); it != fs::recursive_directory_iterator(); ++it) {
        std::string name = it->path().lexically_relative(root_).generic_string();
        if (it->is_directory() && !it->is_symlink())
            name += "/";
        entries.push_back(name);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

fs::path Kit::directory_of_length(size_t length) const
{
    fs::path path = root_;
    while (path.string().size() + 1 + 100 < length)
        path /= std::string(99, 'd');
    path /= std::string(length - path.string().size() - 1, 'e');
    fs::create_directories(path);
    return path;
}

fs::path installed_path(const fs::path &file)
{
    std::string name = file.filename().string(), folded = name;
    for (char &c : folded)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    auto ends_with = [&](const std::string &tail) {
        return folded.size() >= tail.size() && folded.compare(folded.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (ends_with(".h"))
        return file.parent_path() / "INCLUDE" / name;
    if (ends_with(".lib"))
        return file.parent_path() / "LIB" / name;
    return {};
}

std::string binary_content(size_t size, unsigned seed)
{
    std::string content(size, '\0');
    std::mt19937 bytes(seed);
    for (char &c : content)
        c = static_cast<char>(bytes());
    return content;
}

int run_installer_in(const fs::path &directory)
{
    fs::path before = fs::current_path();
    fs::current_path(directory);
    int status = WinMain(nullptr, nullptr, GetCommandLineA(), 10);
    fs::current_path(before);
    return status;
}
