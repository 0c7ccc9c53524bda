// Decoding of raw MFT file records. The bytes may come from a damaged or
// hostile disk: every field is read through base::LeReader against the length we
// were given, every attribute length is checked before use and must be at
// least a header long, so the walk always advances and always ends.
//
// Entries of a record are appended straight into the caller's table and
// patched (size, reparse bit) once the walk is done; a damaged record rolls
// the table back to where it started. Names are copied into the table's
// shared buffer, so a record costs no allocation of its own.
#include "core/mft/mft_record.h"

#include <bit>
#include <cstring>
#include <utility>

#include "base/checked_math.h"
#include "base/le_reader.h"
#include "core/placeholders.h"

namespace ombrix::core {
namespace {

constexpr std::uint32_t kFileSignature = 0x454C4946;  // "FILE"
constexpr std::uint64_t kMinRecordLength = 42;
constexpr std::uint64_t kUpdateSequenceStride = 512;

// File record header.
constexpr std::uint64_t kUpdateSequenceOffsetField = 0x04;
constexpr std::uint64_t kUpdateSequenceCountField = 0x06;
constexpr std::uint64_t kFirstAttributeField = 0x14;
constexpr std::uint64_t kRecordFlagsField = 0x16;
constexpr std::uint64_t kBytesInUseField = 0x18;
constexpr std::uint64_t kBaseReferenceField = 0x20;
constexpr std::uint16_t kRecordInUse = 0x0001;
constexpr std::uint16_t kRecordIsDirectory = 0x0002;

// Attribute header.
constexpr std::uint64_t kAttributeHeaderLength = 16;
constexpr std::uint64_t kNonResidentField = 0x08;
constexpr std::uint64_t kAttributeNameLengthField = 0x09;
constexpr std::uint64_t kAttributeFlagsField = 0x0C;
constexpr std::uint16_t kAttributeCompressed = 0x0001;
constexpr std::uint16_t kAttributeSparse = 0x8000;
constexpr std::uint64_t kValueLengthField = 0x10;
constexpr std::uint64_t kValueOffsetField = 0x14;
constexpr std::uint64_t kMinResidentLength = 0x18;
constexpr std::uint64_t kLowestVcnField = 0x10;
constexpr std::uint64_t kHighestVcnField = 0x18;
constexpr std::uint64_t kMappingPairsOffsetField = 0x20;
constexpr std::uint64_t kAllocatedSizeField = 0x28;
constexpr std::uint64_t kDataSizeField = 0x30;
constexpr std::uint64_t kMinNonResidentLength = 0x40;
// Present only in the header of a compressed or sparse stream: the bytes of
// the clusters it really has, where the allocated size counts the holes.
constexpr std::uint64_t kTotalAllocatedField = 0x40;
constexpr std::uint64_t kMinCompressedLength = 0x48;

constexpr std::uint32_t kEndOfAttributes = 0xFFFFFFFF;
constexpr std::uint32_t kStandardInformationType = 0x10;
constexpr std::uint32_t kFileNameType = 0x30;
constexpr std::uint32_t kDataType = 0x80;
constexpr std::uint32_t kIndexAllocationType = 0xA0;
constexpr std::uint32_t kReparsePointType = 0xC0;

// $STANDARD_INFORMATION value: the time the data was last written (the
// "modified" Explorer shows), and $REPARSE_POINT value: its tag.
constexpr std::uint64_t kModificationTimeField = 0x08;
constexpr std::uint64_t kReparseTagField = 0x00;

// $FILE_NAME value.
constexpr std::uint64_t kParentReferenceField = 0x00;
constexpr std::uint64_t kRealSizeField = 0x30;
constexpr std::uint64_t kFileAttributesField = 0x38;
constexpr std::uint64_t kNameLengthField = 0x40;
constexpr std::uint64_t kNamespaceField = 0x41;
constexpr std::uint64_t kNameField = 0x42;
constexpr std::uint8_t kDosOnlyNamespace = 2;

constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeNormal = 0x80;
constexpr std::uint32_t kAttributeReparsePoint = 0x400;

// The value of a $FILE_NAME attribute that passes every test, or nothing.
// `attribute` spans exactly the attribute.
std::optional<base::LeReader> AcceptedFileNameValue(const base::LeReader& attribute) {
  if (*attribute.U8(kNonResidentField) != 0 || attribute.Length() < kMinResidentLength) {
    return std::nullopt;
  }
  const std::uint64_t valueLength = *attribute.U32(kValueLengthField);
  const std::uint64_t valueOffset = *attribute.U16(kValueOffsetField);
  const auto value = attribute.Slice(valueOffset, valueLength);
  if (!value || valueLength < kNameField) return std::nullopt;
  if (kNameField + 2u * *value->U8(kNameLengthField) > valueLength) return std::nullopt;
  // A long name's generated 8.3 alias lives in its own DOS-only attribute;
  // a name valid in both namespaces (3) is stored once and kept.
  if (*value->U8(kNamespaceField) == kDosOnlyNamespace) return std::nullopt;
  return value;
}

MftRecordNumber RecordNumberOf(std::uint64_t reference) {
  const std::uint64_t number = reference & kMftReferenceMask;
  return number < kNoRecord ? static_cast<MftRecordNumber>(number) : kNoRecord;
}

void AddNameEntry(const base::LeReader& value, MftRecordNumber fileReference, bool isDirectory,
                  MftNameTable& table) {
  MftNameEntry& entry = table.entries.emplace_back();
  entry.fileReference = fileReference;
  entry.parentReference = RecordNumberOf(*value.U64(kParentReferenceField));
  entry.isDirectory = isDirectory;
  std::uint32_t attributes = *value.U32(kFileAttributesField) & ~kAttributeReparsePoint;
  if (isDirectory) {
    attributes |= kAttributeDirectory;
  } else if (attributes == 0) {
    attributes = kAttributeNormal;
  }
  entry.attributes = attributes;
  const std::int64_t realSize = *value.I64(kRealSizeField);
  entry.size = (!isDirectory && realSize > 0) ? static_cast<std::uint64_t>(realSize) : 0;
  // Accepted values hold the whole name (AcceptedFileNameValue checked it).
  const std::uint8_t nameLength = *value.U8(kNameLengthField);
  entry.nameOffset =
      table.names.AppendUtf16Le(value.Slice(kNameField, 2u * nameLength)->Data(), nameLength);
}

// What an unnamed $DATA attribute says about the file's size.
struct DataSizeReading {
  bool qualifies = false;  // resident, or the first extent of a non-resident stream
  std::uint64_t size = 0;
};

// Only the extent starting at VCN 0 carries the stream's sizes; later
// extents (found in extension records of large or fragmented files) hold 0
// or stale values there.
DataSizeReading ReadUnnamedDataSize(const base::LeReader& attribute) {
  const std::uint64_t attributeLength = attribute.Length();
  if (*attribute.U8(kNonResidentField) == 0) {
    if (attributeLength < kMinResidentLength) return {};
    return {true, *attribute.U32(kValueLengthField)};
  }
  if (attributeLength < kMinNonResidentLength) return {};
  if (*attribute.I64(kLowestVcnField) != 0) return {};
  const std::int64_t dataSize = *attribute.I64(kDataSizeField);
  return {true, dataSize > 0 ? static_cast<std::uint64_t>(dataSize) : 0};
}

// The clusters of the holes (runs without a location) in an extent's
// mapping pairs; what damaged pairs leave unclear counts as stored.
std::uint64_t HoleClusters(const base::LeReader& attribute) {
  std::uint64_t position = *attribute.U16(kMappingPairsOffsetField);
  std::uint64_t holes = 0;
  while (const auto header = attribute.U8(position)) {
    const unsigned lengthBytes = *header & 0x0F;
    const unsigned offsetBytes = *header >> 4;
    if (*header == 0 || lengthBytes == 0 || lengthBytes > 8 || offsetBytes > 8 ||
        !attribute.Contains(position + 1, lengthBytes + offsetBytes)) {
      break;
    }
    if (offsetBytes == 0) {
      holes = base::SaturatingAdd(holes, *attribute.UnsignedN(position + 1, lengthBytes));
    }
    position += 1 + lengthBytes + offsetBytes;
  }
  return holes;
}

// The clusters a stream takes, from the first extent of a non-resident
// attribute (0 for a resident one: its value lives in the record, and for
// a later extent, which carries no sizes).
std::uint64_t ReadAllocatedLength(const base::LeReader& attribute) {
  if (*attribute.U8(kNonResidentField) == 0) return 0;
  if (attribute.Length() < kMinNonResidentLength || *attribute.I64(kLowestVcnField) != 0) return 0;
  const std::uint16_t flags = *attribute.U16(kAttributeFlagsField);
  const bool holesCounted = (flags & (kAttributeCompressed | kAttributeSparse)) != 0;
  if (holesCounted && attribute.Length() >= kMinCompressedLength) {
    const std::int64_t total = *attribute.I64(kTotalAllocatedField);
    return total > 0 ? static_cast<std::uint64_t>(total) : 0;
  }
  const std::int64_t allocated = *attribute.I64(kAllocatedSizeField);
  if (allocated <= 0) return 0;
  // A stream can have holes without saying so: $BadClus's $Bad is one hole
  // the size of the volume. When this extent maps the whole stream, its
  // clusters' length follows from the allocated size, and the holes are
  // taken off.
  const std::int64_t highestVcn = *attribute.I64(kHighestVcnField);
  const std::uint64_t holes = HoleClusters(attribute);
  if (holes == 0 || highestVcn < 0) return static_cast<std::uint64_t>(allocated);
  const std::uint64_t clusters = static_cast<std::uint64_t>(highestVcn) + 1;
  const auto bytes = static_cast<std::uint64_t>(allocated);
  if (bytes % clusters != 0 || holes > clusters) return bytes;
  return bytes - holes * (bytes / clusters);
}

// A resident attribute's value as a reader, when the attribute is resident
// and its value lies inside it.
std::optional<base::LeReader> ResidentValue(const base::LeReader& attribute) {
  if (*attribute.U8(kNonResidentField) != 0 || attribute.Length() < kMinResidentLength) {
    return std::nullopt;
  }
  return attribute.Slice(*attribute.U16(kValueOffsetField), *attribute.U32(kValueLengthField));
}

// What the attributes of one record say, beside its names.
struct RecordReading {
  DataSizeReading unnamedData;
  std::uint64_t allocated = 0;  // every stream's clusters; saturating
  std::uint64_t indexBytes = 0;
  std::uint64_t lastWriteTime = 0;
  bool hasReparsePoint = false;
  std::uint32_t reparseTag = 0;
};

}  // namespace

bool ApplyUpdateSequence(std::uint8_t* record, std::uint64_t recordLength,
                         std::uint32_t sectorSize) {
  const base::LeReader bytes(record, recordLength);
  if (bytes.Length() < kMinRecordLength || sectorSize < 2) return false;
  if (*bytes.U32(0) != kFileSignature) return false;

  const std::uint64_t arrayOffset = *bytes.U16(kUpdateSequenceOffsetField);
  const std::uint64_t entryCount = *bytes.U16(kUpdateSequenceCountField);
  if (entryCount == 0 || !bytes.Contains(arrayOffset, 2 * entryCount)) return false;
  // NTFS protects records in 512-byte strides whatever the disk's sector
  // size: on a disk with 4096-byte sectors the volume reports 4096, yet its
  // 4096-byte records carry nine entries. Taking the reported size alone
  // would reject every record of such a volume.
  std::uint64_t stride = sectorSize;
  if (entryCount != bytes.Length() / stride + 1) {
    if (sectorSize <= kUpdateSequenceStride ||
        entryCount != bytes.Length() / kUpdateSequenceStride + 1) {
      return false;
    }
    stride = kUpdateSequenceStride;
  }
  const std::uint64_t sectorCount = entryCount - 1;

  const std::uint16_t sequenceNumber = *bytes.U16(arrayOffset);
  for (std::uint64_t sector = 0; sector < sectorCount; ++sector) {
    // (sector + 1) * stride <= recordLength, so the tail is inside.
    const std::uint64_t tail = (sector + 1) * stride - 2;
    if (*bytes.U16(tail) != sequenceNumber) return false;
    const std::uint64_t saved = arrayOffset + 2 * (sector + 1);
    record[tail] = record[saved];
    record[tail + 1] = record[saved + 1];
  }
  return true;
}

void MftNameTable::Add(MftNameEntry entry, std::u16string_view name) {
  entry.nameOffset = names.Append(name);
  entries.push_back(entry);
}

void MftNameTable::Adopt(MftNameTable&& other) {
  indexBytes = base::SaturatingAdd(indexBytes, std::exchange(other.indexBytes, 0));
  const std::uint64_t shift = names.Adopt(std::move(other.names));
  const std::size_t first = entries.size();
  entries.insert(entries.end(), other.entries.begin(), other.entries.end());
  for (std::size_t i = first; i < entries.size(); ++i) entries[i].nameOffset += shift;
  other.entries.clear();
}

void ParseFileRecord(std::uint8_t* record, std::uint64_t recordLength, std::uint64_t recordNumber,
                     std::uint32_t sectorSize, MftNameTable& table,
                     std::vector<MftRecordData>* dataSizes) {
  if (!ApplyUpdateSequence(record, recordLength, sectorSize)) return;
  const base::LeReader bytes(record, recordLength);
  const std::uint16_t recordFlags = *bytes.U16(kRecordFlagsField);
  if ((recordFlags & kRecordInUse) == 0) return;

  const std::uint64_t baseReference = *bytes.U64(kBaseReferenceField);
  const MftRecordNumber fileReference =
      baseReference != 0 ? RecordNumberOf(baseReference) : RecordNumberOf(recordNumber);
  // A record numbered beyond what NTFS numbers, or naming such a base
  // record, is damage.
  if (fileReference == kNoRecord || recordNumber >= kNoRecord) return;
  const bool isDirectory = (recordFlags & kRecordIsDirectory) != 0;
  const std::uint64_t bytesInUse = *bytes.U32(kBytesInUseField);
  const std::uint64_t limit =
      (bytesInUse == 0 || bytesInUse > bytes.Length()) ? bytes.Length() : bytesInUse;
  const base::LeReader used(record, limit);

  std::vector<MftNameEntry>& entries = table.entries;
  const std::size_t firstEntry = entries.size();
  const NameArena::Mark firstName = table.names.Position();
  RecordReading reading;
  std::uint64_t position = *bytes.U16(kFirstAttributeField);
  while (used.Contains(position, kAttributeHeaderLength)) {
    const std::uint32_t type = *used.U32(position);
    if (type == kEndOfAttributes) break;
    const std::uint64_t attributeLength = *used.U32(position + 4);
    const auto attribute = used.Slice(position, attributeLength);
    if (attributeLength < kAttributeHeaderLength || !attribute) {
      // A broken length makes everything read from this record suspect.
      entries.resize(firstEntry);
      table.names.RollBack(firstName);
      return;
    }
    if (type == kFileNameType) {
      if (const auto value = AcceptedFileNameValue(*attribute)) {
        AddNameEntry(*value, fileReference, isDirectory, table);
      }
    } else if (type == kDataType) {
      // Named streams (alternate data streams, a compressed file's
      // WofCompressedData) take clusters too; only the unnamed one is the
      // file's size.
      reading.allocated = base::SaturatingAdd(reading.allocated, ReadAllocatedLength(*attribute));
      if (*attribute->U8(kAttributeNameLengthField) == 0) {
        const DataSizeReading unnamed = ReadUnnamedDataSize(*attribute);
        if (unnamed.qualifies) reading.unnamedData = unnamed;
      }
    } else if (type == kIndexAllocationType) {
      reading.indexBytes = base::SaturatingAdd(reading.indexBytes, ReadAllocatedLength(*attribute));
    } else if (type == kStandardInformationType) {
      if (const auto value = ResidentValue(*attribute)) {
        reading.lastWriteTime = value->U64(kModificationTimeField).value_or(0);
      }
    } else if (type == kReparsePointType) {
      reading.hasReparsePoint = true;
      if (const auto value = ResidentValue(*attribute)) {
        reading.reparseTag = value->U32(kReparseTagField).value_or(0);
      }
    }
    position += attributeLength;
  }

  const DataSizeReading& data = reading.unnamedData;
  for (std::size_t i = firstEntry; i < entries.size(); ++i) {
    MftNameEntry& entry = entries[i];
    if (reading.hasReparsePoint) entry.attributes |= kAttributeReparsePoint;
    if (!entry.isDirectory && data.size != 0) entry.size = data.size;
    entry.hasOwnDataSize = data.qualifies;
    entry.allocated = entry.isDirectory ? 0 : reading.allocated;
    entry.lastWriteTime = reading.lastWriteTime;
    entry.isPlaceholder = !entry.isDirectory && IsPlaceholder(entry.attributes, reading.reparseTag);
    entry.inExtensionRecord = baseReference != 0;
  }
  table.indexBytes = base::SaturatingAdd(table.indexBytes, reading.indexBytes);
  if (dataSizes != nullptr && (data.qualifies || reading.allocated != 0)) {
    dataSizes->push_back(MftRecordData{fileReference, data.qualifies, baseReference != 0,
                                       data.qualifies ? data.size : 0, reading.allocated});
  }
}

bool DecodeMftDataRuns(const std::vector<std::uint8_t>& record0, std::vector<MftDataRun>& runs,
                       std::uint64_t& dataSize) {
  const base::LeReader bytes(record0.data(), record0.size());
  const auto firstAttribute = bytes.U16(kFirstAttributeField);
  if (!firstAttribute) return false;

  std::uint64_t position = *firstAttribute;
  std::optional<base::LeReader> data;
  while (!data) {
    if (!bytes.Contains(position, kAttributeHeaderLength)) return false;
    const std::uint32_t type = *bytes.U32(position);
    const std::uint64_t attributeLength = *bytes.U32(position + 4);
    if (type == kEndOfAttributes || attributeLength < kAttributeHeaderLength) return false;
    const auto attribute = bytes.Slice(position, attributeLength);
    if (!attribute) return false;
    if (type == kDataType && *attribute->U8(kAttributeNameLengthField) == 0 &&
        *attribute->U8(kNonResidentField) != 0) {
      data = attribute;
    }
    position += attributeLength;
  }

  if (data->Length() < kMinNonResidentLength) return false;
  const std::uint64_t pairsOffset = *data->U16(kMappingPairsOffsetField);
  if (pairsOffset >= data->Length()) return false;
  const std::int64_t streamSize = *data->I64(kDataSizeField);

  const base::LeReader pairs = *data->Slice(pairsOffset, data->Length() - pairsOffset);
  // Runs are collected aside so that a list without its end marker leaves
  // the caller's outputs as they were.
  std::vector<MftDataRun> decoded;
  std::uint64_t pairPosition = 0;
  std::int64_t cluster = 0;
  while (true) {
    const std::uint8_t header = *pairs.U8(pairPosition);
    if (header == 0) break;
    const unsigned lengthWidth = header & 0x0F;
    const unsigned offsetWidth = header >> 4;
    // Widths above 8 bytes cannot describe a real volume and would not fit
    // our 64-bit counts.
    if (lengthWidth == 0 || lengthWidth > 8 || offsetWidth > 8) return false;
    if (!pairs.Contains(pairPosition + 1, std::uint64_t{lengthWidth} + offsetWidth)) return false;
    const std::uint64_t clusterCount = *pairs.UnsignedN(pairPosition + 1, lengthWidth);
    const std::int64_t delta =
        offsetWidth == 0 ? 0 : *pairs.SignedN(pairPosition + 1 + lengthWidth, offsetWidth);
    if (!base::CheckedAddSigned(cluster, delta, cluster)) return false;
    if (cluster >= 0 && clusterCount != 0) decoded.push_back(MftDataRun{cluster, clusterCount});
    pairPosition += 1 + lengthWidth + offsetWidth;
    if (pairPosition >= pairs.Length()) return false;  // the end marker is missing
  }
  runs.insert(runs.end(), decoded.begin(), decoded.end());
  dataSize = streamSize > 0 ? static_cast<std::uint64_t>(streamSize) : 0;
  return true;
}

}  // namespace ombrix::core
