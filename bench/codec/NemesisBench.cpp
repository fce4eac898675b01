// Sizes and times of the Nemesis codec over a folder of real streams.
//
//   bench_nemesis [FOLDER] [--files]
//
// FOLDER holds one stream per file (default: the shared corpus). When FOLDER/../sizes.tsv exists,
// its original_bytes and best_public_bytes columns are the yardsticks; otherwise each file's own
// size is the original. --files adds one line per file. Every stream we write is decoded again
// and compared, so a figure is only printed for output that round-trips.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "codec/Nemesis.h"

namespace fs = std::filesystem;
using tess::codec::NemesisMode;

namespace {

struct Sample {
    std::string name;
    std::vector<uint8_t> raw;
    std::size_t original = 0;
    std::size_t bestPublic = 0;  // 0 when unknown
};

std::vector<uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

const char* modeName(NemesisMode mode) {
    switch (mode) {
        case NemesisMode::Plain:
            return "plain";
        case NemesisMode::Xor:
            return "xor";
        case NemesisMode::Best:
            return "best";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    fs::path folder = fs::path(TESS_SHARED_DIR) / "corpus" / "nemesis" / "art";
    bool perFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--files") {
            perFile = true;
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
        std::vector<uint8_t> stream = readFile(path);
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
    std::printf("corpus %s: %zu streams, raw %zu bytes, original %zu bytes", folder.c_str(),
                samples.size(), rawTotal, originalTotal);
    if (allPublic) std::printf(", best public %zu bytes", publicTotal);
    std::printf("\n");

    // Decoding the original streams; the best of five passes, each over the whole corpus.
    double decodeMs = 1e300;
    for (int pass = 0; pass < 5; ++pass) {
        const auto start = std::chrono::steady_clock::now();
        std::size_t bytes = 0;
        for (const auto& stream : streams)
            bytes += tess::codec::decodeNemesis(stream).data.size();
        decodeMs = std::min(decodeMs, millisecondsSince(start));
        if (bytes != rawTotal) std::printf("decode pass produced %zu bytes\n", bytes);
    }
    std::printf("decode all originals: %.2f ms\n\n", decodeMs);

    std::printf("%-6s %9s %9s %9s %8s %8s %10s\n", "mode", "bytes", "/orig", "/public", "larger",
                "worst", "encode ms");
    for (NemesisMode mode : {NemesisMode::Plain, NemesisMode::Xor, NemesisMode::Best}) {
        std::vector<std::vector<uint8_t>> ours(samples.size());
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < samples.size(); ++i) {
            ours[i] = tess::codec::encodeNemesis(samples[i].raw, mode).stream;
        }
        const double encodeMs = millisecondsSince(start);

        std::size_t total = 0, larger = 0, mismatches = 0;
        double worst = 0;
        std::string worstName;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const Sample& s = samples[i];
            const auto back = tess::codec::decodeNemesis(ours[i]);
            if (!back.ok() || back.data != s.raw || back.consumed != ours[i].size()) {
                ++mismatches;
            }
            total += ours[i].size();
            larger += ours[i].size() > s.original ? 1 : 0;
            const double ratio = double(ours[i].size()) / double(s.original);
            if (ratio > worst) {
                worst = ratio;
                worstName = s.name;
            }
            if (perFile && mode == NemesisMode::Best) {
                std::printf("  %-48s orig %6zu public %6zu ours %6zu (%+ld vs public)%s\n",
                            s.name.c_str(), s.original, s.bestPublic, ours[i].size(),
                            long(ours[i].size()) - long(s.bestPublic), back.xorMode ? " xor" : "");
            }
        }
        std::printf("%-6s %9zu %9.4f %9.4f %8zu %8.4f %10.1f\n", modeName(mode), total,
                    double(total) / double(originalTotal),
                    allPublic ? double(total) / double(publicTotal) : 0.0, larger, worst, encodeMs);
        if (mode == NemesisMode::Best) {
            std::printf("       worst file vs original: %s (%.4f)\n", worstName.c_str(), worst);
        }
        if (mismatches != 0) std::printf("       %zu streams did NOT round-trip\n", mismatches);
    }

    // Decoding our own best streams.
    std::vector<std::vector<uint8_t>> ours;
    for (const Sample& s : samples) ours.push_back(tess::codec::encodeNemesis(s.raw).stream);
    double ourDecodeMs = 1e300;
    for (int pass = 0; pass < 5; ++pass) {
        const auto start = std::chrono::steady_clock::now();
        for (const auto& stream : ours) (void)tess::codec::decodeNemesis(stream);
        ourDecodeMs = std::min(ourDecodeMs, millisecondsSince(start));
    }
    std::printf("\ndecode all of ours: %.2f ms\n", ourDecodeMs);
    return 0;
}
