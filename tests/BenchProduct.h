#pragma once

// The product of the end-to-end benchmarks: 2,000 files, 200 MB in all
// (BRENVIK_BENCH_MB chooses another size), as ten folder items of an
// installer that brenvik-build made, and the install pass that puts all of
// them into a folder.

#include <SupportDefs.h>

#include <chrono>
#include <functional>
#include <string>

namespace brenvik::bench {

constexpr int kFileCount = 2000;
constexpr int kItemCount = 10;

double Seconds(const std::chrono::steady_clock::time_point& start);

// The bytes of file `index` (0 to kFileCount - 1), `size` of them.
using FileBytes = std::function<std::string(int index, size_t size)>;

struct Product {
    std::string root;
    std::string installer;
    status_t status = B_NO_INIT;
};

// Writes the product's files (folder items "item0" to "item9", each file
// filled by `bytes`) and its project into a new temporary folder named after
// `name`, and builds root/Installer from them. The pass installs for the user
// alone (BRENVIK_SCOPE).
Product BuildProduct(const std::string& name, const FileBytes& bytes);

// Runs the install pass of `installer` with every item marked, into
// `into`/Bench; true when the pass ended and succeeded.
bool InstallAll(const std::string& installer, const std::string& into);

} // namespace brenvik::bench
