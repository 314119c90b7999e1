// A folder of its own under the system's temporary folder, removed with everything in it.
#pragma once
#include <chrono>
#include <filesystem>
#include <string>

struct TempFolder {
    std::filesystem::path dir;
    std::string path;  // UTF-8, no separator at the end

    explicit TempFolder(const std::string& stem = "test") {
        static int counter = 0;
        dir = std::filesystem::temp_directory_path() /
              (stem + "_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "_" +
               std::to_string(++counter));
        std::filesystem::create_directories(dir);
        path = dir.u8string();
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
};
