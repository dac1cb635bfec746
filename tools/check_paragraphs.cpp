// Prints every difference between the converted paragraph entries and their rows, by pool and entry.
// Usage: check_paragraphs DIR [POOL...]
// DIR holds POOL.bin (entries separated by NUL) or POOL/NN.bin (one file per entry).
// Built like the program, so its string literals are GBK; what it prints is converted to UTF-8.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "letter/entry_shape.h"
#include "tests/gbk_convert.h"
#include "tests/paragraph_rows.h"

namespace fs = std::filesystem;
using namespace corvane;

namespace {

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Show(std::string_view gbk) {
    return testing::GbkToUtf8(gbk).value_or("(not GBK)");
}

std::map<int, std::string> LoadPool(const fs::path& dir, std::string_view pool) {
    std::map<int, std::string> entries;
    const fs::path folder = dir / pool;
    if (fs::is_directory(folder)) {
        for (const auto& f : fs::directory_iterator(folder)) {
            if (f.path().extension() == ".bin")
                entries[std::stoi(f.path().stem().string())] = ReadFile(f.path());
        }
        return entries;
    }
    const fs::path joined = dir / (std::string(pool) + ".bin");
    if (!fs::exists(joined)) return entries;
    const std::string all = ReadFile(joined);
    int n = 1;
    for (std::size_t start = 0;; ++n) {
        const std::size_t nul = all.find('\0', start);
        entries[n] = all.substr(start, nul == std::string::npos ? std::string::npos : nul - start);
        if (nul == std::string::npos) break;
        start = nul + 1;
    }
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [POOL...]\n", argv[0]);
        return 2;
    }
    const fs::path dir = argv[1];
    int mismatches = 0, missing = 0;
    for (const auto& pool : ParagraphRows()) {
        bool wanted = argc == 2;
        for (int a = 2; a < argc; ++a) wanted = wanted || pool.pool == argv[a];
        if (!wanted) continue;
        const auto entries = LoadPool(dir, pool.pool);
        int total = 0, want = 0;
        for (const auto& row : pool.rows) {
            want += row.bytes;
            const auto it = entries.find(row.number);
            if (it == entries.end()) {
                ++missing;
                continue;
            }
            const EntryShape s = DescribeEntry(it->second);
            total += s.bytes;
            std::string report;
            if (s.bytes != row.bytes || s.chars != row.chars) {
                const int dbl = s.bytes - s.chars, ascii = 2 * s.chars - s.bytes;
                const int wantDbl = row.bytes - row.chars, wantAscii = 2 * row.chars - row.bytes;
                report += "  bytes " + std::to_string(s.bytes) + " (want " + std::to_string(row.bytes) +
                          "), chars " + std::to_string(s.chars) + " (want " + std::to_string(row.chars) +
                          "): double-byte " + std::to_string(dbl) + " (want " + std::to_string(wantDbl) +
                          ", " + std::to_string(wantDbl - dbl) + " to add), ASCII incl. CR LF " +
                          std::to_string(ascii) + " (want " + std::to_string(wantAscii) + ", " +
                          std::to_string(wantAscii - ascii) + " to add)\n";
            }
            if (s.lead != row.lead) report += "  lead " + Show(s.lead) + " (want " + Show(row.lead) + ")\n";
            if (s.inner != row.inner)
                report += "  inner " + Show(s.inner) + " (want " + Show(row.inner) + ")\n";
            if (s.opening != row.opening) {
                report += "  opening \"" + Show(s.opening) + "\" (want \"" + Show(row.opening) + "\")\n";
            }
            if (!s.problems.empty()) report += "  " + s.problems + "\n";
            if (!report.empty()) {
                ++mismatches;
                std::printf("%.*s %d:\n%s", static_cast<int>(pool.pool.size()), pool.pool.data(), row.number,
                            report.c_str());
            }
        }
        std::printf("%.*s: %zu of %zu entries present, %d bytes (all entries: %d)\n",
                    static_cast<int>(pool.pool.size()), pool.pool.data(), entries.size(), pool.rows.size(),
                    total, want);
    }
    std::printf("%d entries differ from their rows, %d missing\n", mismatches, missing);
    return mismatches == 0 && missing == 0 ? 0 : 1;
}
