#pragma once
// A new folder of a benchmark's own inside the system's temporary folder
// ($TMPDIR, else /tmp), named zelmor-bench-<Tag>-XXXXXX; the benchmark
// removes it when it ends. A benchmark without its folder cannot run: no
// folder stops the program.
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

inline std::filesystem::path MakeBenchFolder(const std::string& Tag) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("zelmor-bench-" + Tag + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) {
        std::perror(pattern.c_str());
        std::abort();
    }
    return pattern;
}
