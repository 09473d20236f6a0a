#include "SeedWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <unistd.h>

namespace {

std::string gScratch; // removed at exit; only the fuzz program's own helpers touch it

void removeScratch() {
    std::error_code ignored;
    if (!gScratch.empty())
        std::filesystem::remove_all(gScratch, ignored);
}

} // namespace

void writeSeedsIfAsked(const std::function<std::vector<std::string>()>& makeSeeds) {
    const char* folder = std::getenv("LUMICUT_FUZZ_SEEDS");
    if (folder == nullptr || *folder == '\0')
        return;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::vector<std::string> seeds = makeSeeds();
    int written = 0;
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "seed-%03zu", i);
        std::ofstream out(std::filesystem::path(folder) / name, std::ios::binary | std::ios::trunc);
        out.write(seeds[i].data(), static_cast<std::streamsize>(seeds[i].size()));
        written += out.good() ? 1 : 0;
    }
    std::cout << "wrote " << written << " seeds to " << folder << "\n";
    std::exit(written == static_cast<int>(seeds.size()) && written > 0 ? 0 : 1);
}

std::string scratchFolder() {
    if (!gScratch.empty())
        return gScratch;
    std::error_code error;
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0
            ? std::filesystem::path("/dev/shm")
            : std::filesystem::temp_directory_path();
    std::string pattern = (base / "lumicut-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    gScratch = pattern;
    std::atexit(removeScratch);
    return gScratch;
}
