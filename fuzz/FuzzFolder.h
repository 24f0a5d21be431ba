#pragma once
// A folder of the machine for the fuzz targets that read real files: made
// once per run of the target and removed when it ends.
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

inline const std::string& FuzzFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/zelmor-fuzz-XXXXXX";
        std::string made = ::mkdtemp(pattern) ? pattern : "";
        if (made.empty()) std::abort();
        static const std::string removed = made;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(removed, ec);
        });
        return made;
    }();
    return folder;
}

inline void WriteFuzzFile(const std::string& Path, const uint8_t* Data, size_t Size) {
    std::ofstream file(Path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(Data), long(Size));
}
