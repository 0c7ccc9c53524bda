#include "tests/support/temporary_folder.h"

#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

namespace ombrix::test {

TemporaryFolder::TemporaryFolder() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = std::filesystem::temp_directory_path() /
            ("ombrix-test-" + std::to_string(random()) + std::to_string(random()));
    if (std::filesystem::create_directory(path_)) return;
  }
  throw std::runtime_error("no fresh temporary folder");
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TemporaryFolder::WriteFile(const std::filesystem::path& relativePath,
                                std::string_view bytes) const {
  const std::filesystem::path path = path_ / relativePath;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace ombrix::test
