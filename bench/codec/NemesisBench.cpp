// Sizes and times of the Nemesis codec over a folder of real streams, at each effort level.
//
//   bench_nemesis [FOLDER] [--files] [--optimum]
//
// FOLDER holds one stream per file (default: the shared corpus). When FOLDER/../sizes.tsv exists,
// its original_bytes and best_public_bytes columns are the yardsticks; otherwise each file's own
// size is the original. --files adds one line per file. --optimum adds the smallest stream the
// format allows for each file, found by trying every table of every colour in both modes: it
// takes about ten minutes for the shared corpus. Every stream we write is decoded again
// and compared, so a figure is only printed for output that round-trips. Times are processor
// time, the least of several passes over the whole corpus: the machine may be shared.

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/RomFile.h"
#include "codec/Nemesis.h"
#include "codec/SizeSearch.h"

namespace fs = std::filesystem;
using tess::codec::NemesisEffort;

namespace {

// The encoder before issue 19 on the shared corpus, measured once: its size, and its time on the
// machine the change was made on (best of 9 passes; it searched with random kicks).
constexpr std::size_t kTodayBytes = 160548;
constexpr double kTodayMs = 373.0;
constexpr std::size_t kSharedStreams = 155;

struct Sample {
    std::string name;
    std::vector<uint8_t> raw;
    std::size_t original = 0;
    std::size_t bestPublic = 0;  // 0 when unknown
};

std::map<std::string, std::size_t> readPublicSizes(const fs::path& tsv) {
    std::map<std::string, std::size_t> sizes;
    std::ifstream in(tsv);
    std::string line;
    std::getline(in, line);  // column names
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name, tiles, raw, original, bestPublic;
        if (std::getline(fields, name, '\t') && std::getline(fields, tiles, '\t') &&
            std::getline(fields, raw, '\t') && std::getline(fields, original, '\t') &&
            std::getline(fields, bestPublic, '\t')) {
            sizes[name] = std::stoul(bestPublic);
        }
    }
    return sizes;
}

double processorMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The least processor time of `passes` calls of `pass`.
template <class Pass>
double leastMs(int passes, Pass pass) {
    double least = 1e300;
    for (int i = 0; i < passes; ++i) {
        const double start = processorMs();
        pass();
        least = std::min(least, processorMs() - start);
    }
    return least;
}

// The smallest stream for `tiles`: every colour has every table tried, and the knapsack shares the
// code space out exactly.
std::size_t smallestPossible(const std::vector<uint8_t>& tiles) {
    namespace nemesis = tess::codec::nemesis;
    std::size_t smallest = SIZE_MAX;
    for (bool xorMode : {false, true}) {
        nemesis::SizeSearch search(nemesis::nibblesOf(tiles, xorMode));
        search.start();
        search.improve({UINT32_MAX, {}, false});
        smallest = std::min(smallest, search.bestBytes());
    }
    return smallest;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path folder = fs::path(TESS_SHARED_DIR) / "corpus" / "nemesis" / "art";
    bool perFile = false, optimum = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--files") {
            perFile = true;
        } else if (arg == "--optimum") {
            optimum = true;
        } else {
            folder = arg;
        }
    }
    if (!fs::is_directory(folder)) {
        std::cout << "no corpus at " << folder.string() << ": nothing to measure\n";
        return 0;
    }
    const auto publicSizes = readPublicSizes(folder.parent_path() / "sizes.tsv");

    std::vector<Sample> samples;
    std::vector<std::vector<uint8_t>> streams;
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file()) paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths) {
        std::vector<uint8_t> stream = tess::readWhole(path);
        auto decoded = tess::codec::decodeNemesis(stream);
        if (!decoded.ok()) {
            std::cout << "skipped " << path.filename().string() << ": "
                      << tess::codec::describe(decoded.status) << "\n";
            continue;
        }
        Sample sample{path.filename().string(), std::move(decoded.data), stream.size(), 0};
        if (auto it = publicSizes.find(sample.name); it != publicSizes.end()) {
            sample.bestPublic = it->second;
        }
        samples.push_back(std::move(sample));
        streams.push_back(std::move(stream));
    }
    std::size_t rawTotal = 0, originalTotal = 0, publicTotal = 0;
    bool allPublic = true;
    for (const Sample& s : samples) {
        rawTotal += s.raw.size();
        originalTotal += s.original;
        publicTotal += s.bestPublic;
        allPublic = allPublic && s.bestPublic != 0;
    }
    // Today's figures are for the shared corpus only.
    const bool shared = allPublic && samples.size() == kSharedStreams;
    std::printf("corpus %s: %zu streams, raw %zu bytes, original %zu bytes", folder.c_str(),
                samples.size(), rawTotal, originalTotal);
    if (allPublic) std::printf(", best public %zu bytes", publicTotal);
    std::printf("\n");

    const double decodeMs = leastMs(5, [&] {
        for (const auto& stream : streams) (void)tess::codec::decodeNemesis(stream);
    });
    std::printf("decode all originals: %.2f ms\n\n", decodeMs);

    std::printf("%-8s %8s %8s %8s %8s %7s %7s %10s %8s\n", "effort", "bytes", "/today", "/orig",
                "/public", "larger", "worst", "encode ms", "/today");
    std::vector<std::vector<uint8_t>> ours(samples.size()), best(samples.size());
    for (NemesisEffort effort : {NemesisEffort::Default, NemesisEffort::Best}) {
        std::vector<std::vector<uint8_t>>& out = effort == NemesisEffort::Default ? ours : best;
        const double encodeMs = leastMs(effort == NemesisEffort::Default ? 5 : 2, [&] {
            for (std::size_t i = 0; i < samples.size(); ++i) {
                out[i] = tess::codec::encodeNemesis(samples[i].raw, effort).stream;
            }
        });
        std::size_t total = 0, larger = 0, mismatches = 0;
        double worst = 0;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const auto back = tess::codec::decodeNemesis(out[i]);
            if (!back.ok() || back.data != samples[i].raw || back.consumed != out[i].size()) {
                ++mismatches;
            }
            total += out[i].size();
            larger += out[i].size() > samples[i].original ? 1 : 0;
            worst = std::max(worst, double(out[i].size()) / double(samples[i].original));
        }
        std::printf("%-8s %8zu %8.4f %8.4f %8.4f %7zu %7.4f %10.1f %8.3f\n",
                    effort == NemesisEffort::Default ? "default" : "best", total,
                    shared ? double(total) / double(kTodayBytes) : 0.0,
                    double(total) / double(originalTotal),
                    allPublic ? double(total) / double(publicTotal) : 0.0, larger, worst, encodeMs,
                    shared ? encodeMs / kTodayMs : 0.0);
        if (mismatches != 0) std::printf("         %zu streams did NOT round-trip\n", mismatches);
    }
    if (shared) {
        std::printf(
            "today    %8zu %8.4f %8.4f %8.4f %7s %7s %10.1f   (before issue 19, measured once)\n",
            kTodayBytes, 1.0, double(kTodayBytes) / double(originalTotal),
            double(kTodayBytes) / double(publicTotal), "", "", kTodayMs);
    }

    const double ourDecodeMs = leastMs(5, [&] {
        for (const auto& stream : ours) (void)tess::codec::decodeNemesis(stream);
    });
    std::printf("\ndecode all of ours (default): %.2f ms (%.3f of the originals' time)\n",
                ourDecodeMs, ourDecodeMs / decodeMs);

    std::vector<std::size_t> smallest(samples.size(), 0);
    if (optimum) {
        std::size_t total = 0, defaultAtIt = 0, bestAtIt = 0;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            smallest[i] = smallestPossible(samples[i].raw);
            total += smallest[i];
            defaultAtIt += ours[i].size() == smallest[i] ? 1 : 0;
            bestAtIt += best[i].size() == smallest[i] ? 1 : 0;
        }
        std::printf(
            "\nsmallest possible: %zu bytes (%.4f of the best public); default reaches it on "
            "%zu streams, best on %zu\n",
            total, allPublic ? double(total) / double(publicTotal) : 0.0, defaultAtIt, bestAtIt);
    }

    if (perFile) {
        std::printf("\n%-48s %8s %8s %8s %8s %8s\n", "file", "original", "public", "default",
                    "best", "smallest");
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const Sample& s = samples[i];
            std::printf("%-48s %8zu %8zu %8zu %8zu %8zu\n", s.name.c_str(), s.original,
                        s.bestPublic, ours[i].size(), best[i].size(), smallest[i]);
        }
    }
    return 0;
}
