"""The independent side of every check that scans an NTFS volume image:
what The Sleuth Kit says is on it (tests/data/ntfs_image.extract_oracle
saved its output beside each image).

  NAME.fls.txt      fls -r -p -l: every name with its path and size
  NAME.ils.txt      ils -a: allocated base records
  NAME.ils-free.txt ils -A: free records
  NAME.istat0.txt   istat 0: the clusters of $MFT's data stream
  NAME.mft          icat 0: the $MFT data stream itself
  NAME.volume.txt   sector, cluster and record sizes from the boot sector

From them this module makes the nodes a scan of the volume (or of a folder
on it) must report (see expected_tree), the statistics the engine's trace
line must show, and lists of the awkward cases an image holds, so a check
can tell that its data really holds them.
"""
import os
import re
import struct
from collections import namedtuple

import expected_tree

CHUNK_BYTES = 4 * 1024 * 1024
PARALLEL_MIN_RECORDS = 1024
REFERENCE_MASK = 0xFFFFFFFFFFFF
# $FILE_NAME namespace of a separate 8.3 alias.
NAMESPACE_DOS = 2

RawName = namedtuple("RawName", "record base name namespace parent real_size")


class Image:
    def __init__(self, prefix):
        self.prefix = prefix
        self.image = prefix + ".img"
        with open(prefix + ".volume.txt") as f:
            self.geometry = {key: int(value) for key, value in
                             (line.strip().split("=") for line in f if "=" in line)}
        self.mft_size = os.path.getsize(prefix + ".mft")
        self.free_records = _ils_records(prefix + ".ils-free.txt", "f")
        self._read_fls(_ils_records(prefix + ".ils.txt", "a"))
        self._read_istat()

    def _read_fls(self, allocated):
        """Names as the engine must show them. fls also prints deleted names,
        $OrphanFiles and names a folder's freed index blocks still hold:
        those whose record ils does not call allocated are dropped, with
        everything below them. Alternate data streams (path:stream) are not
        entries; metadata files that fls lists only by their streams ($Secure,
        the files in $Extend) must be files, of a size fls cannot tell."""
        self.files, self.folders, self.deleted = {}, set(), set()
        dropped, stream_bases = set(), set()
        with open(self.prefix + ".fls.txt", encoding="utf-8", errors="surrogateescape") as f:
            for line in f:
                fields = line.rstrip("\n").split("\t")
                if len(fields) < 7:
                    continue
                head, path = fields[0], fields[1]
                number = re.search(r"(\d+)", head[3:])
                record = int(number.group(1)) if number else -1
                parts = path.split("/")
                if (" * " in head or path.startswith("$OrphanFiles") or record not in allocated
                        or any("/".join(parts[:i]) in dropped for i in range(1, len(parts)))):
                    dropped.add(path)
                    if " * " in head and record in self.free_records:
                        self.deleted.add(path)
                    continue
                if ":" in parts[-1]:
                    stream_bases.add(path[:path.rfind(":")])
                elif head[2] == "d":
                    self.folders.add(path)
                else:
                    self.files[path] = int(fields[6])
        self.stream_only = {b for b in stream_bases if b not in self.files
                            and b not in self.folders and b.split("/")[-1].startswith("$")}
        # Deleted names whose folder the scan shows: a decoder that took free
        # records for live ones would show them there.
        self.deleted = {p for p in self.deleted if p not in self.files and p not in self.folders
                        and ":" not in p.split("/")[-1]
                        and ("/" not in p or p.rpartition("/")[0] in self.folders)}

    def _read_istat(self):
        """The data size of $MFT and its runs, as (first cluster, cluster
        count). istat prints clusters past the data size as 0, so only the
        clusters that hold data are grouped into runs."""
        clusters, self.data_size, inside = [], None, False
        with open(self.prefix + ".istat0.txt", encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith("Type: "):
                    inside = line.startswith("Type: $DATA (128-") and "Name: N/A" in line
                    if inside:
                        self.data_size = int(re.search(r"size: (\d+)", line).group(1))
                elif inside:
                    clusters += [int(n) for n in line.split()]
        cluster = self.geometry["cluster_size"]
        self.runs = []
        for lcn in clusters[:(self.data_size + cluster - 1) // cluster]:
            if self.runs and sum(self.runs[-1]) == lcn:
                self.runs[-1][1] += 1
            else:
                self.runs.append([lcn, 1])

    def nodes(self, root_path, report, prefix=""):
        """{tool path: expected_tree.Node} of a scan whose root is the image
        folder prefix ('' for the volume root; '/'-separated as fls writes
        it), reported as root_path. Stream-only metadata files take the
        size the report gives them."""
        def below(path):
            if not prefix:
                return path
            return path[len(prefix) + 1:] if path.startswith(prefix + "/") else None

        def tool(rel):
            return expected_tree.join(root_path, rel.replace("/", "\\"))

        reported = {node["path"]: node["size"] for node in report.get("nodes", [])}
        kinds = {root_path: (True, 0, False)}
        for path in self.folders:
            if below(path) is not None:
                kinds[tool(below(path))] = (True, 0, False)
        for path, size in self.files.items():
            if below(path) is not None:
                kinds[tool(below(path))] = (False, size, False)
        for path in self.stream_only:
            if below(path) is not None:
                kinds[tool(below(path))] = (False, reported.get(tool(below(path)), 0), False)
        return expected_tree.with_totals(kinds, root_path)

    def expected_trace(self, worker_limit):
        """The trace's counters for a scan that reads the whole MFT in 4 MiB
        chunks along istat's runs, decoding chunks of 1,024 records or more
        on workers when the limit allows more than one, and keeps every
        name of an in-use record but the DOS aliases."""
        record, cluster = self.geometry["record_size"], self.geometry["cluster_size"]
        chunks = parallel = 0
        start = 0  # offset in the data stream of the run
        for _, count in self.runs:
            length, done = count * cluster, 0
            while done < length and start + done < self.data_size:
                chunk = min(CHUNK_BYTES, length - done, self.data_size - start - done)
                chunk -= chunk % record
                if chunk == 0:
                    break
                chunks += 1
                parallel += worker_limit > 1 and chunk // record >= PARALLEL_MIN_RECORDS
                done += chunk
            start += length
        names = sum(1 for name in self.raw_names() if name.namespace != NAMESPACE_DOS)
        return {"chunks": chunks, "bytes": self.data_size, "records": self.data_size // record,
                "nodes": names, "parallelChunks": parallel, "serialChunks": chunks - parallel,
                "runs": len(self.runs), "mftDataSize": self.data_size,
                "parseWorkerLimit": worker_limit}

    def raw_names(self):
        """Every $FILE_NAME of the in-use records of the $MFT that icat
        copied out, read straight from the bytes: which names are DOS
        aliases and which live in extension records, which fls does not
        say."""
        names = []
        record_size, sector = self.geometry["record_size"], self.geometry["sector_size"]
        with open(self.prefix + ".mft", "rb") as f:
            mft = f.read()
        for number in range(len(mft) // record_size):
            record = bytearray(mft[number * record_size:(number + 1) * record_size])
            if record[:4] != b"FILE" or not struct.unpack_from("<H", record, 0x16)[0] & 1:
                continue
            fixups, count = struct.unpack_from("<HH", record, 4)
            for i in range(1, min(count, record_size // sector + 1)):
                record[i * sector - 2:i * sector] = record[fixups + 2 * i:fixups + 2 * i + 2]
            base = struct.unpack_from("<Q", record, 0x20)[0] & REFERENCE_MASK
            at = struct.unpack_from("<H", record, 0x14)[0]
            while at + 16 <= record_size:
                kind, length = struct.unpack_from("<II", record, at)
                if kind == 0xFFFFFFFF or length < 16 or at + length > record_size:
                    break
                if kind == 0x30 and record[at + 8] == 0:
                    value = at + struct.unpack_from("<H", record, at + 0x14)[0]
                    parent, = struct.unpack_from("<Q", record, value)
                    real_size, = struct.unpack_from("<q", record, value + 0x30)
                    chars, namespace = record[value + 0x40], record[value + 0x41]
                    name = bytes(record[value + 0x42:value + 0x42 + 2 * chars]).decode(
                        "utf-16-le", "surrogatepass")
                    names.append(RawName(number, base, name, namespace,
                                         parent & REFERENCE_MASK, real_size))
                at += length
        return names


def _ils_records(path, state):
    records = set()
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            fields = line.split("|")
            if len(fields) > 2 and fields[0].isdigit() and fields[1] == state:
                records.add(int(fields[0]))
    return records


TRACE_PREFIX = "[OmbrixPerf] NtfsMftScanEngine::Scan detail: "
TRACE_KEYS = ("chunks", "bytes", "records", "nodes", "parallelChunks", "serialChunks", "runs",
              "mftDataSize", "queryVolumeMs", "resolveRootMs", "readRunsMs", "enumerateMftMs",
              "buildChildrenMs", "populateTreeMs", "finalizeMs", "totalMs", "parseWorkerLimit")


def parse_trace(stderr):
    """The counters of the one trace line on stderr, or None when there is
    not exactly one line with every counter, in order, as a number."""
    lines = [line for line in stderr.splitlines() if line.startswith(TRACE_PREFIX)]
    if len(lines) != 1:
        return None
    fields = [field.split("=") for field in lines[0][len(TRACE_PREFIX):].split(", ")]
    if (tuple(f[0] for f in fields) != TRACE_KEYS
            or not all(len(f) == 2 and re.fullmatch(r"-?\d+", f[1]) for f in fields)):
        return None
    return {key: int(value) for key, value in fields}
