// The native build's settings files, for the tests: paths are UTF-8 on
// disk.
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
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

std::string NativePath(const std::u16string& path) { return base::ToUtf8(path); }

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

}  // namespace

SettingsFiles SystemSettingsFiles() {
  SettingsFiles files;
  files.readFile = ReadWholeFile;
  files.createFolders = CreateFolderWithAncestors;
  files.writeFile = WriteFlushed;
  files.replaceFile = ReplaceInOneStep;
  files.removeFile = RemoveFile;
  files.processId = static_cast<std::uint32_t>(::getpid());
  return files;
}

}  // namespace ombrix::app
