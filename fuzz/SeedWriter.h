#pragma once

#include <functional>
#include <string>
#include <vector>

// Seed inputs of a fuzz program. When the environment variable LUMICUT_FUZZ_SEEDS names a
// folder, the program writes its seeds there (one file each) and ends; this is how the
// build makes the starting corpora. Call it from LLVMFuzzerInitialize.
void writeSeedsIfAsked(const std::function<std::vector<std::string>()>& makeSeeds);

// A fresh folder for the program's scratch files, memory-backed when /dev/shm exists,
// removed when the process ends.
[[nodiscard]] std::string scratchFolder();
