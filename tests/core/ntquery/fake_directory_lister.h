// An in-memory file system behind the directory-lister seam. Folders are
// described before the scan and only read during it, so any number of
// workers may list them at once; the counters are atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/ntquery/directory_lister.h"
#include "core/scan_paths.h"
#include "tests/core/ntquery/directory_record_writer.h"

namespace ombrix::test {

// STATUS_IO_DEVICE_ERROR and the Win32 code the fake maps it to
// (ERROR_IO_DEVICE).
inline constexpr core::NtStatus kStatusIoDeviceError = 0xC0000185;
inline constexpr std::uint32_t kErrorIoDevice = 1117;

struct FakeEntry {
  std::u16string name;
  bool isDirectory = false;
  std::uint64_t size = 0;
  std::uint32_t extraAttributes = 0;  // e.g. 0x400 for a junction
  std::int64_t allocationSize = 0;
  std::uint64_t fileId = 0;
  std::uint32_t reparseTag = 0;
};

struct FakeListingFailure {
  std::size_t batchesBeforeFailure = 0;
  core::NtStatus status = kStatusIoDeviceError;
};

class FakeDirectoryLister final : public core::IDirectoryLister {
 public:
  std::map<std::u16string, std::vector<FakeEntry>> folders;
  std::map<std::u16string, std::uint32_t> openErrors;
  std::map<std::u16string, FakeListingFailure> listingFailures;
  // Folders whose second batch is cut: its last record claims a name longer
  // than the bytes returned.
  std::set<std::u16string> malformedFolders;
  std::optional<core::PathAttributes> rootAttributes = core::PathAttributes{0x10, 42};
  bool hasQueryCall = true;
  bool hasMapper = true;
  std::size_t maxEntriesPerBatch = std::numeric_limits<std::size_t>::max();
  // Called before every query, on the worker's thread.
  std::function<void()> onQuery;

  mutable std::atomic<std::uint64_t> openCount{0};
  mutable std::atomic<std::int64_t> liveHandles{0};
  mutable std::atomic<std::uint64_t> restartQueries{0};

  void AddFolder(const std::u16string& parent, const std::u16string& name,
                 std::uint32_t extraAttributes = 0) {
    folders[parent].push_back(FakeEntry{name, true, 0, extraAttributes});
    if ((extraAttributes & core::kAttributeReparsePoint) == 0) {
      folders[core::JoinPath(parent, name)];
    }
  }
  void AddFile(const std::u16string& parent, const std::u16string& name, std::uint64_t size) {
    folders[parent].push_back(FakeEntry{name, false, size, 0});
  }
  void AddFile(const std::u16string& parent, const FakeEntry& entry) {
    folders[parent].push_back(entry);
  }

  bool WasOpened(const std::u16string& path) const {
    std::lock_guard lock(openedMutex_);
    return opened_.count(path) != 0;
  }

  // Prefixed to the root to form the system path ("\\\\?\\" as on Windows);
  // folders are then described by their system paths.
  std::u16string systemPrefix;

  std::u16string SystemPath(const std::u16string& root) const override {
    return systemPrefix + root;
  }
  bool HasQueryCall() const override { return hasQueryCall; }

  std::optional<core::PathAttributes> ReadAttributes(const std::u16string&) const override {
    return rootAttributes;
  }

  core::DirectoryOpenResult OpenDirectory(const std::u16string& path) const override {
    ++openCount;
    {
      std::lock_guard lock(openedMutex_);
      opened_.insert(path);
    }
    if (auto error = openErrors.find(path); error != openErrors.end()) {
      return core::DirectoryOpenResult{nullptr, error->second};
    }
    const std::u16string key = core::TrimTrailingSeparators(path);
    auto folder = folders.find(key);
    if (folder == folders.end()) return core::DirectoryOpenResult{nullptr, 3};  // path not found
    return core::DirectoryOpenResult{std::make_unique<Handle>(*this, key, folder->second), 0};
  }

  std::optional<std::uint32_t> MapStatus(core::NtStatus status) const override {
    if (!hasMapper) return std::nullopt;
    return status == kStatusIoDeviceError ? kErrorIoDevice : 317;
  }

 private:
  class Handle final : public core::IDirectoryHandle {
   public:
    Handle(const FakeDirectoryLister& owner, std::u16string path,
           const std::vector<FakeEntry>& entries)
        : owner_(owner), path_(std::move(path)), entries_(entries) {
      ++owner_.liveHandles;
    }
    ~Handle() override { --owner_.liveHandles; }

    core::DirectoryBatch QueryNext(std::uint8_t* buffer, std::size_t bufferLength,
                                   bool restartScan) override {
      if (owner_.onQuery) owner_.onQuery();
      if (restartScan) {
        ++owner_.restartQueries;
        next_ = 0;
        batches_ = 0;
        dotsSent_ = false;
      }
      if (auto failure = owner_.listingFailures.find(path_);
          failure != owner_.listingFailures.end() &&
          batches_ == failure->second.batchesBeforeFailure) {
        return core::DirectoryBatch{failure->second.status, 0};
      }
      std::vector<RecordFields> records;
      if (!dotsSent_) {
        records.push_back(RecordFields{u".", 0x10, 0, 0});
        records.push_back(RecordFields{u"..", 0x10, 0, 0});
      }
      std::size_t length = 0;
      for (const RecordFields& record : records) length += AlignedRecordLength(record.name);
      std::size_t taken = 0;
      while (next_ + taken < entries_.size() && taken < owner_.maxEntriesPerBatch) {
        const FakeEntry& entry = entries_[next_ + taken];
        const std::size_t recordLength = AlignedRecordLength(entry.name);
        if (length + recordLength > bufferLength) break;
        length += recordLength;
        records.push_back(RecordFields{
            entry.name, (entry.isDirectory ? 0x10u : 0x20u) | entry.extraAttributes,
            static_cast<std::int64_t>(entry.size), 1000 + next_ + taken, entry.allocationSize,
            entry.reparseTag, entry.fileId});
        ++taken;
      }
      if (records.empty()) return core::DirectoryBatch{core::kStatusNoMoreFiles, 0};
      dotsSent_ = true;
      next_ += taken;
      ++batches_;
      std::vector<std::uint8_t> bytes = EncodeBatch(records);
      std::size_t returned = bytes.size();
      if (batches_ == 2 && owner_.malformedFolders.count(path_) != 0) {
        // The last record's name runs past the returned bytes.
        returned -= 8;
        std::vector<std::size_t> offsets;
        EncodeBatch(records, &offsets);
        PutLittleEndian(bytes, offsets.back() + core::file_id_both_dir_information::kFileNameLength,
                        1000, 4);
      }
      std::memcpy(buffer, bytes.data(), bytes.size());
      return core::DirectoryBatch{core::kStatusSuccess, returned};
    }

   private:
    const FakeDirectoryLister& owner_;
    std::u16string path_;
    const std::vector<FakeEntry>& entries_;
    std::size_t next_ = 0;
    std::size_t batches_ = 0;
    bool dotsSent_ = false;
  };

  mutable std::mutex openedMutex_;
  mutable std::set<std::u16string> opened_;
};

}  // namespace ombrix::test
