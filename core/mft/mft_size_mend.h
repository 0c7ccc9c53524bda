// Names and data of one file do not always share a record: with an
// $ATTRIBUTE_LIST, Windows may keep the names in the base record and the
// unnamed $DATA in an extension record (or the other way round), and leaves
// the $FILE_NAME real size stale, often 0. After the whole MFT has been
// decoded, a file name whose own record held no unnamed $DATA takes the size
// another record of the same file reported.
#pragma once

#include <vector>

#include "core/mft/mft_record.h"

namespace ombrix::core {

// One pass over dataSizes after enumeration. Allocates only an index of the
// entries that need a size (usually few), never per record. When several
// records of one file report a size, the first in record order (the base
// record, for files whose data starts there) wins.
void ApplyDataSizeMend(std::vector<MftNameEntry>& entries,
                       const std::vector<MftDataSize>& dataSizes);

}  // namespace ombrix::core
