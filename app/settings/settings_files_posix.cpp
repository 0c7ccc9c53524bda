// The native build's settings files, for the tests: paths are UTF-8 on
// disk.
#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <unistd.h>
#include <utility>

#include "app/settings/settings_files.h"
#include "base/text_encoding.h"

namespace ombrix::app {
namespace {

class UniqueDescriptor {
 public:
  explicit UniqueDescriptor(int descriptor) : descriptor_(descriptor) {}
  ~UniqueDescriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  UniqueDescriptor(const UniqueDescriptor&) = delete;
  UniqueDescriptor& operator=(const UniqueDescriptor&) = delete;

  int get() const { return descriptor_; }
  // close() reports errors a deferred write met; the caller must hear them.
  bool Close() { return ::close(std::exchange(descriptor_, -1)) == 0; }

 private:
  int descriptor_;
};

// Paths are made under Windows' rules (settings_paths.h), so a '\' the
// program put between components separates them here too.
std::string NativePath(const std::u16string& path) {
  std::string native = base::ToUtf8(path);
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

bool ReadWholeFile(const std::u16string& path, std::string& bytes) {
  UniqueDescriptor file(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) {
    return false;
  }
  std::string content;
  char chunk[64 * 1024];
  for (;;) {
    const ssize_t count = ::read(file.get(), chunk, sizeof chunk);
    if (count < 0) {
      // Reading a folder fails here with EISDIR.
      return false;
    }
    if (count == 0) {
      break;
    }
    content.append(chunk, static_cast<std::size_t>(count));
  }
  bytes = std::move(content);
  return true;
}

bool CreateFolderWithAncestors(const std::u16string& folder) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(NativePath(folder)), error);
  return !error;
}

bool WriteFlushed(const std::u16string& path, std::string_view bytes) {
  UniqueDescriptor file(
      ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.get() < 0) {
    return false;
  }
  while (!bytes.empty()) {
    const ssize_t count = ::write(file.get(), bytes.data(), bytes.size());
    if (count <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return ::fsync(file.get()) == 0 && file.Close();
}

bool ReplaceInOneStep(const std::u16string& source, const std::u16string& target) {
  return std::rename(NativePath(source).c_str(), NativePath(target).c_str()) == 0;
}

void RemoveFile(const std::u16string& path) { ::unlink(NativePath(path).c_str()); }

// Seconds between 1601-01-01, where FILETIME counts from, and 1970-01-01.
constexpr std::uint64_t kFileTimeUnixEpochSeconds = 11644473600;

std::uint64_t FileTimeOf(const struct timespec& time) {
  return (static_cast<std::uint64_t>(time.tv_sec) + kFileTimeUnixEpochSeconds) * 10000000 +
         static_cast<std::uint64_t>(time.tv_nsec) / 100;
}

bool ListFiles(const std::u16string& folder, std::vector<FolderFile>& files) {
  const std::string path = NativePath(folder);
  std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(path.c_str()), ::closedir);
  if (!listing) {
    return false;
  }
  std::vector<FolderFile> found;
  while (const dirent* entry = ::readdir(listing.get())) {
    struct stat status {};
    if (::stat((path + '/' + entry->d_name).c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
      continue;
    }
    found.push_back({base::FromUtf8(entry->d_name), static_cast<std::uint64_t>(status.st_size),
                     FileTimeOf(status.st_mtim)});
  }
  files = std::move(found);
  return true;
}

}  // namespace

SettingsFiles SystemSettingsFiles() {
  SettingsFiles files;
  files.readFile = ReadWholeFile;
  files.createFolders = CreateFolderWithAncestors;
  files.writeFile = WriteFlushed;
  files.replaceFile = ReplaceInOneStep;
  files.removeFile = RemoveFile;
  files.listFolder = ListFiles;
  files.processId = static_cast<std::uint32_t>(::getpid());
  return files;
}

}  // namespace ombrix::app
