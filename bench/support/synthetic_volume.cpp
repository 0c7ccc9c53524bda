#include "bench/support/synthetic_volume.h"

#include <deque>
#include <iterator>
#include <random>
#include <string>
#include <utility>

namespace ombrix::bench {
namespace {

constexpr std::uint64_t kWideFolderFiles = 1000000;
constexpr std::uint32_t kDeepestLevel = 12;
// Files were last written over the ten years from 2015-01-01 (FILETIME).
constexpr std::uint64_t kFirstWriteTime = 130645440000000000ull;
constexpr std::uint64_t kWriteTimeSpan = 3652ull * 864000000000ull;

void AppendNumber(std::u16string& text, std::uint64_t number, int digits) {
  char16_t buffer[24];
  int length = 0;
  do {
    buffer[length++] = static_cast<char16_t>(u'0' + number % 10);
    number /= 10;
  } while (number != 0 || length < digits);
  while (length > 0) text.push_back(buffer[--length]);
}

// Names as volumes hold them: camera pictures, sources, documents, logs,
// packages; now and then one in another script.
void FileName(std::mt19937_64& rng, std::uint64_t number, std::u16string& name) {
  name.clear();
  switch (rng() % 8) {
    case 0:
      name = u"IMG_";
      AppendNumber(name, number % 100000, 5);
      name += u".JPG";
      break;
    case 1:
      name = u"source file ";
      AppendNumber(name, number % 10000, 4);
      name += u" with a typical name.cpp";
      break;
    case 2:
      name = u"report-2024-";
      AppendNumber(name, number % 12 + 1, 2);
      name += u"-";
      AppendNumber(name, number % 28 + 1, 2);
      name += u" final.pdf";
      break;
    case 3:
      name = u"access.log.";
      AppendNumber(name, number % 60, 1);
      break;
    case 4:
      name = u"libcomponent-";
      AppendNumber(name, number % 900, 3);
      name += u".so.1";
      break;
    case 5:
      name = rng() % 25 == 0 ? u"\u8CC7\u6599 " : u"\u041E\u0442\u0447\u0451\u0442 ";
      AppendNumber(name, number % 1000, 3);
      name += u".xlsx";
      break;
    default:
      name = u"document_";
      AppendNumber(name, number, 1);
      name += u".docx";
      break;
  }
}

void FolderName(std::uint32_t level, std::uint64_t number, std::u16string& name) {
  static const char16_t* const kStems[] = {u"Project ", u"module_", u"src ", u"assets-",
                                           u"Backup ", u"node_modules_"};
  name = kStems[(level + number) % std::size(kStems)];
  AppendNumber(name, number % 1000, 3);
}

// Spread over the span by the node's number, without drawing from the
// generator (the tree stays what it was before files had times).
std::uint64_t WriteTime(std::uint64_t number) {
  return kFirstWriteTime + (number * 0x9E3779B97F4A7C15ull) % kWriteTimeSpan;
}

}  // namespace

void AddSyntheticNodes(SyntheticVolume& volume, std::uint64_t nodeCount) {
  std::mt19937_64 rng(7);
  core::ScanTreeBuilder& builder = volume.builder;
  std::u16string name;
  const auto addFile = [&](std::uint64_t parent) {
    const std::uint64_t number = builder.nodes.size();
    FileName(rng, number, name);
    // Mostly small files, a few of gigabytes.
    const std::uint64_t size = rng() % (std::uint64_t{1} << (rng() % 33));
    builder.AddFile(parent, name, 0x20, size, WriteTime(number));
  };
  const std::uint64_t root = builder.AddRoot(u"", u"S:\\", 0x10, 0);
  volume.wideFolder = builder.AddDirectory(root, u"one million files", 0x10, 0);
  for (std::uint64_t i = 0; i < kWideFolderFiles && builder.nodes.size() < nodeCount; ++i) {
    addFile(volume.wideFolder);
  }
  std::deque<std::pair<std::uint64_t, std::uint32_t>> folders{{root, 0}};
  while (builder.nodes.size() < nodeCount && !folders.empty()) {
    const auto [folder, level] = folders.front();
    folders.pop_front();
    const std::uint64_t fileCount = rng() % 41;
    const std::uint64_t folderCount =
        level < 2 ? 10 + rng() % 20 : (level < kDeepestLevel ? rng() % 5 : 0);
    for (std::uint64_t i = 0; i < fileCount && builder.nodes.size() < nodeCount; ++i) {
      addFile(folder);
    }
    for (std::uint64_t i = 0; i < folderCount && builder.nodes.size() < nodeCount; ++i) {
      FolderName(level, builder.nodes.size(), name);
      folders.emplace_back(builder.AddDirectory(folder, name, 0x10, 0), level + 1);
    }
  }
}

std::uint64_t FolderWithNodesBelow(const core::ScanResult& result, std::uint64_t wanted) {
  std::uint64_t best = result.rootIndex;
  std::uint64_t bestDistance = ~std::uint64_t{0};
  for (std::uint64_t i = 0; i < result.nodes.size(); ++i) {
    if (!result.nodes.IsDirectory(i)) continue;
    const std::uint64_t below = result.nodes.FileCount(i) + result.nodes.FolderCount(i);
    const std::uint64_t distance = below > wanted ? below - wanted : wanted - below;
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace ombrix::bench
