#include "core/mft/mft_stream_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include "base/checked_math.h"
#include "core/mft/mft_chunk_decoder.h"

namespace ombrix::core {

namespace {

constexpr std::size_t kReadBufferAlignment = 32;

struct AlignedFree {
  void operator()(std::uint8_t* bytes) const {
    ::operator delete[](bytes, std::align_val_t{kReadBufferAlignment});
  }
};
using AlignedBuffer = std::unique_ptr<std::uint8_t[], AlignedFree>;

AlignedBuffer MakeZeroedBuffer(std::size_t length) {
  auto* bytes =
      static_cast<std::uint8_t*>(::operator new[](length, std::align_val_t{kReadBufferAlignment}));
  std::memset(bytes, 0, length);
  return AlignedBuffer(bytes);
}

// One read of the data stream: where it lies on the volume and which
// record number its first byte holds.
struct ChunkRead {
  std::uint64_t volumeOffset = 0;
  std::uint32_t length = 0;
  std::uint64_t streamPosition = 0;
};

// Walks the runs in stream order and cuts them into reads of at most
// chunkLength bytes, whole records only, never past the data size.
class ChunkSequence {
 public:
  ChunkSequence(const std::vector<MftDataRun>& runs, std::uint64_t dataSize,
                std::uint64_t clusterLength, std::uint32_t recordLength, std::uint32_t chunkLength)
      : runs_(runs),
        dataSize_(dataSize),
        clusterLength_(clusterLength),
        recordLength_(recordLength),
        chunkLength_(chunkLength) {}

  enum class Step { Read, End, Invalid };

  // The next read, End when the stream is done, Invalid when a run's volume
  // offset does not fit 64 bits.
  Step Next(ChunkRead& read) {
    while (run_ < runs_.size()) {
      const MftDataRun& run = runs_[run_];
      if (run.lcn < 0 || run.clusterCount == 0) {
        ++run_;  // skipped without advancing the stream offset
        continue;
      }
      const std::uint64_t runLength = RunLength(run);
      const std::uint64_t position = base::SaturatingAdd(streamOffset_, runPosition_);
      std::uint64_t wanted = 0;
      if (runPosition_ < runLength && position < dataSize_) {
        wanted =
            std::min<std::uint64_t>({chunkLength_, runLength - runPosition_, dataSize_ - position});
        wanted -= wanted % recordLength_;
      }
      if (wanted == 0) {
        EndRun();
        continue;
      }
      std::uint64_t volumeOffset = 0;
      if (!base::CheckedMultiply(static_cast<std::uint64_t>(run.lcn), clusterLength_,
                                 volumeOffset) ||
          !base::CheckedAdd(volumeOffset, runPosition_, read.volumeOffset)) {
        return Step::Invalid;
      }
      read.length = static_cast<std::uint32_t>(wanted);
      read.streamPosition = position;
      return Step::Read;
    }
    return Step::End;
  }

  // After a read of bytesRead bytes at the current position.
  void Advance(std::uint32_t bytesRead) { runPosition_ += bytesRead; }

  // The rest of the current run is skipped; the stream offset still moves
  // past the whole run, so later runs keep their record numbers.
  void EndRun() {
    streamOffset_ = base::SaturatingAdd(streamOffset_, RunLength(runs_[run_]));
    runPosition_ = 0;
    ++run_;
  }

 private:
  // In bytes; a length past 64 bits counts as the largest there is.
  std::uint64_t RunLength(const MftDataRun& run) const {
    std::uint64_t length = 0;
    return base::CheckedMultiply(run.clusterCount, clusterLength_, length) ? length
                                                                           : ~std::uint64_t{0};
  }

  const std::vector<MftDataRun>& runs_;
  std::uint64_t dataSize_;
  std::uint64_t clusterLength_;
  std::uint32_t recordLength_;
  std::uint32_t chunkLength_;
  std::size_t run_ = 0;
  std::uint64_t streamOffset_ = 0;  // where the current run starts in the data stream
  std::uint64_t runPosition_ = 0;
};

}  // namespace

bool EnumerateMftRecords(IVolumeReader& volume, const NtfsVolumeGeometry& geometry,
                         const std::vector<MftDataRun>& runs, std::uint64_t dataSize,
                         const ScanCancellationToken& token, MftNameTable& table,
                         std::vector<MftRecordData>* dataSizes, MftScanStats& stats,
                         std::uint64_t workerSetting, std::uint32_t chunkLength) {
  const std::uint32_t recordLength = geometry.bytesPerFileRecordSegment;
  if (recordLength == 0 || geometry.bytesPerSector == 0 || geometry.bytesPerCluster == 0) {
    return false;
  }
  chunkLength = std::max(chunkLength - chunkLength % recordLength, recordLength);
  std::array<AlignedBuffer, 2> buffers = {MakeZeroedBuffer(chunkLength),
                                          MakeZeroedBuffer(chunkLength)};
  const std::uint64_t workerLimit =
      ParseWorkerLimit(workerSetting, std::thread::hardware_concurrency());
  stats.parseWorkerLimit = workerLimit;

  // Declared after the buffers: on an early return its destructor joins the
  // workers before the buffer they decode is freed.
  MftChunkDecoder decoder(recordLength, geometry.bytesPerSector, workerLimit);
  const auto waitForDecoder = [&] {
    if (decoder.Wait()) {
      stats.parallelChunks += 1;
    } else {
      stats.serialChunks += 1;
    }
  };

  // In each turn: read chunk k while the workers decode chunk k - 1, then
  // hand chunk k to them and copy chunk k - 1's entries meanwhile.
  ChunkSequence sequence(runs, dataSize, geometry.bytesPerCluster, recordLength, chunkLength);
  std::size_t current = 0;
  bool decoding = false;
  ChunkRead read;
  while (true) {
    const ChunkSequence::Step step = sequence.Next(read);
    if (step == ChunkSequence::Step::Invalid) return false;
    if (step == ChunkSequence::Step::End || token.IsCancelled()) break;
    std::uint8_t* buffer = buffers[current].get();
    std::uint32_t bytesRead = 0;
    if (!volume.ReadAt(read.volumeOffset, buffer, read.length, bytesRead)) {
      return false;
    }
    bytesRead = std::min(bytesRead, read.length);
    if (decoding) waitForDecoder();

    const std::uint32_t wholeBytes = bytesRead - bytesRead % recordLength;
    stats.chunks += 1;
    stats.bytes += wholeBytes;
    stats.records += wholeBytes / recordLength;
    decoder.Start(buffer, wholeBytes, read.streamPosition / recordLength);
    decoding = true;
    decoder.Collect(table, dataSizes);
    current ^= 1;

    if (bytesRead < read.length) {
      sequence.EndRun();
    } else {
      sequence.Advance(bytesRead);
    }
  }
  if (decoding) {
    waitForDecoder();
    decoder.Collect(table, dataSizes);
  }
  return true;
}

}  // namespace ombrix::core
