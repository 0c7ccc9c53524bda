// Decoding speed of ParseFileRecord over a real $MFT held in memory, on one
// thread: the record decoder's share of an MFT scan, with the disk taken
// out. Usage: mft_parse_bench MFT_FILE RECORD_SIZE SECTOR_SIZE [ROUNDS]
//
// Every round decodes a fresh copy of the records (the update sequence
// repair works in place); only the decoding is timed, by wall clock and by
// the thread's CPU time (steadier on a shared machine). Beside it runs a
// floor: one load per 64-byte line of the same buffer, what merely
// touching the $MFT costs. ROUNDS 1 is the mode for callgrind, whose
// collection is limited to DecodeAllRecords.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/mft/mft_record.h"

namespace {

struct Counts {
  std::uint64_t entries = 0;
  std::uint64_t dataSizes = 0;
};

// Kept out of line so that callgrind can count exactly this.
[[gnu::noinline]] Counts DecodeAllRecords(std::uint8_t* mft, std::uint64_t recordCount,
                                          std::uint32_t recordSize, std::uint32_t sectorSize,
                                          ombrix::core::MftNameTable& table,
                                          std::vector<ombrix::core::MftRecordData>& dataSizes) {
  for (std::uint64_t record = 0; record < recordCount; ++record) {
    ombrix::core::ParseFileRecord(mft + record * recordSize, recordSize, record, sectorSize, table,
                                  &dataSizes);
  }
  return Counts{table.entries.size(), dataSizes.size()};
}

[[gnu::noinline]] std::uint64_t TouchEveryLine(const std::uint8_t* bytes, std::size_t length) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < length; i += 64) sum += bytes[i];
  return sum;
}

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s MFT_FILE RECORD_SIZE SECTOR_SIZE [ROUNDS]\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<std::uint8_t> pristine((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
  const auto recordSize = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
  const auto sectorSize = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10));
  const int rounds = argc > 4 ? std::atoi(argv[4]) : 15;
  if (pristine.empty() || recordSize == 0 || sectorSize == 0 || rounds < 1) {
    std::fprintf(stderr, "nothing to decode\n");
    return 2;
  }
  const std::uint64_t recordCount = pristine.size() / recordSize;

  std::vector<std::uint8_t> work(pristine.size());
  ombrix::core::MftNameTable table;
  std::vector<ombrix::core::MftRecordData> dataSizes;
  std::vector<double> wall;
  std::vector<double> cpu;
  std::vector<double> floorCpu;
  Counts counts;
  std::uint64_t sink = 0;
  for (int round = 0; round < rounds; ++round) {
    std::memcpy(work.data(), pristine.data(), pristine.size());
    table.Clear();
    dataSizes.clear();
    // The engine reserves its entry table up front as well; hard links
    // make a few more names than records.
    table.entries.reserve(recordCount + recordCount / 4);
    dataSizes.reserve(recordCount);
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ThreadSeconds();
    counts = DecodeAllRecords(work.data(), recordCount, recordSize, sectorSize, table, dataSizes);
    cpu.push_back(ThreadSeconds() - cpuStart);
    wall.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());

    std::memcpy(work.data(), pristine.data(), pristine.size());
    const double floorStart = ThreadSeconds();
    sink += TouchEveryLine(work.data(), work.size());
    floorCpu.push_back(ThreadSeconds() - floorStart);
  }
  const double wallMedian = Median(wall);
  const double cpuMedian = Median(cpu);
  const double floorMedian = Median(floorCpu);
  std::printf("records %llu  names %llu  data sizes %llu  rounds %d\n",
              static_cast<unsigned long long>(recordCount),
              static_cast<unsigned long long>(counts.entries),
              static_cast<unsigned long long>(counts.dataSizes), rounds);
  std::printf(
      "decode, thread CPU time: median %.2f ms  records/s %.2f M  names/s %.2f M  ns/record %.1f\n",
      cpuMedian * 1e3, recordCount / cpuMedian / 1e6, counts.entries / cpuMedian / 1e6,
      cpuMedian * 1e9 / recordCount);
  std::printf("decode, wall clock:      median %.2f ms  records/s %.2f M\n", wallMedian * 1e3,
              recordCount / wallMedian / 1e6);
  std::printf(
      "floor (one load per 64-byte line), thread CPU time: median %.2f ms  records/s %.2f M  "
      "(%.1fx below decode)  [%llu]\n",
      floorMedian * 1e3, recordCount / floorMedian / 1e6, cpuMedian / floorMedian,
      static_cast<unsigned long long>(sink % 10));
  return 0;
}
