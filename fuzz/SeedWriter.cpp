#include "SeedWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <unistd.h>

namespace {

std::string g_scratch; // removed at exit; only the fuzz program's own helpers touch it

void RemoveScratch() {
    std::error_code ignored;
    if (!g_scratch.empty())
        std::filesystem::remove_all(g_scratch, ignored);
}

} // namespace

void WriteSeedsIfAsked(const std::function<std::vector<std::string>()>& makeSeeds) {
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

std::string ScratchFolder() {
    if (!g_scratch.empty())
        return g_scratch;
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
    g_scratch = pattern;
    std::atexit(RemoveScratch);
    return g_scratch;
}
