// Writes the benchmarks' business file at a scale, so the growth figures can
// be rerun on the same rows the benchmarks use:
//   build/bench/business_file PATH [SCALE] [SEED]
// SCALE is 1 (the business file), 2, 4 or 8; SEED defaults to report_bench's.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <QFile>
#include <QString>
#include "BusinessFile.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: %s PATH [SCALE] [SEED]\n", argv[0]);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int scale = argc > 2 ? std::atoi(argv[2]) : 1;
    const uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 16;
    if (scale < 1 || scale > 64) {
        std::fprintf(stderr, "the scale must be a whole number from 1 to 64\n");
        return 2;
    }
    // Rows added to an older file would not be the generator's rows.
    if (QFile::exists(path) && !QFile::remove(path)) {
        std::fprintf(stderr, "cannot replace %s\n", argv[1]);
        return 1;
    }
    const auto t0 = std::chrono::steady_clock::now();
    business::MakeFile(path, VANTREL_SCHEMA_FILE, seed, scale);
    std::fprintf(stderr, "%s: scale %d, seed %llu, generated in %.1f s\n", argv[1], scale, (unsigned long long)seed,
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    return 0;
}
