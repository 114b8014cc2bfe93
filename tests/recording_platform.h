// A stand-in for the file and directory operations of the platform that
// records every call in order and answers from a script: which
// directories can be entered, which entries a search delivers, which
// copies fail. No file is touched.
#pragma once

#include <set>
#include <string>
#include <vector>

struct recorded_entry {
    std::string name;
    unsigned attributes;
};

struct platform_script {
    std::string working_directory = "/kit";
    bool working_directory_readable = true;
    std::set<std::string> enterable; // directories SetCurrentDirectoryA enters
    std::vector<recorded_entry> headers, libraries; // what "*.h" and "*.lib" deliver
    std::set<std::string> failing_copies; // sources whose CopyFileA fails
};

extern platform_script script;
extern std::vector<std::string> recorded_calls;
