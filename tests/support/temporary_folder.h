// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes away.
#pragma once

#include <filesystem>
#include <string_view>

namespace ombrix::test {

class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Writes the bytes as they are, creating the folders on the way.
  void WriteFile(const std::filesystem::path& relativePath, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

}  // namespace ombrix::test
