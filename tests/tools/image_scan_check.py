#!/usr/bin/env python3
"""ombrix-scan --image on real NTFS volumes against The Sleuth Kit
(tests/support/sleuthkit_oracle.py).

For every test image (those the test setup makes, and the two made by
Windows when present) the whole-volume scan must show every allocated name
fls lists under its folder, with its kind and size, every folder's totals,
and nothing else: no deleted name, no DOS alias, no alternate data stream.
The trace line must show the MFT read along istat's runs, chunk by chunk,
and the names the records hold. Also checked: that each image holds the
awkward case it was made for; decoding on four threads equal to one; a
sub-folder root (--root, matched ignoring case); images the engine cannot
read.
Natively every image is checked; under Wine one, since each start of a
Windows program costs seconds there. Under Wine also: the live volume C:
stops at the volume data query Wine lacks, a missing drive is not
available, and the MFT engine agrees with the directory-query engine on the
tree copied out of engine_tree.img.
"""
import os
import re
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import expected_tree  # noqa: E402
import scan_check  # noqa: E402
import sleuthkit_oracle  # noqa: E402
from scan_check import run_tool, tool_path  # noqa: E402

BUILT_IMAGES = ["space_cases", "engine_tree", "engine_fragmented", "engine_large_mft", "parse_basic",
                "parse_4k_sectors"]
WINDOWS_MADE_IMAGES = ["winxp_dftt7", "win7_tiny"]
WINE_IMAGES = ["engine_tree"]
WORKERS = 4
TIMEOUT_SECONDS = 600

# Messages of scans that fail.
NOT_AVAILABLE = "NTFS MFT scan is not available for this path."
NOT_OPENED = "NTFS volume could not be opened."
NOT_QUERIED = "NTFS volume data could not be queried."
NOT_USABLE = "NTFS volume data is not usable."
NO_ROOT = "Root file reference number could not be resolved."
NO_RUN_LIST = "MFT run list could not be read."


def scan(args, what, options, check, expected_code=0):
    """(report, stderr) of a --json --tree scan with the trace on; report is
    None (with a failure) when the exit code or the output is wrong."""
    env = dict(os.environ, OMBRIX_MFT_TRACE="1")
    code, stdout, stderr = run_tool(["--json", "--tree"] + args, options, env, TIMEOUT_SECONDS)
    if not check.expect(code == expected_code, "%s: exit code %d, stderr: %s" % (
            what, code, stderr[-500:])):
        return None, stderr
    return scan_check.parse_report(stdout, check, what), stderr


def report_problems(check, what, problems):
    check.failures.extend("%s: %s" % (what, problem) for problem in problems[:30])
    return not problems


def scan_volume(image, options, check, workers=WORKERS):
    """The whole-volume scan of an image, checked against The Sleuth Kit;
    returns the report or None."""
    what = "%s, --threads %d" % (os.path.basename(image.prefix), workers)
    report, stderr = scan(["--image", tool_path(image.image, options), "--threads", str(workers)],
                          what, options, check)
    if report is None:
        return None
    if not check.expect((report["status"], report["engine"]) == ("Completed", "NtfsMft"),
                        "%s: status %s, engine %s, message %s" % (
                            what, report["status"], report["engine"], report["message"])):
        return None
    problems = expected_tree.compare_report(report, image.nodes("\\", report), "\\")
    trace = sleuthkit_oracle.parse_trace(stderr)
    if trace is None:
        problems.append("not one complete trace line: %s" % stderr[-500:])
    else:
        want = image.expected_trace(workers)
        got = {key: trace[key] for key in want}
        if got != want:
            problems.append("trace %r, from istat %r" % (got, want))
    if report_problems(check, what, problems):
        print("%s: %d files, %d folders agree with fls; %d chunks in %d runs as istat has them "
              "(%d ms)" % (what, report["fileCount"], report["folderCount"], trace["chunks"],
                           trace["runs"], report["elapsedMs"]))
    return report


def check_awkward_cases(name, image, report, check):
    """What each image was made to show is really on it, so that the
    comparison with fls covers it."""
    raw = image.raw_names()
    aliases = [n for n in raw if n.namespace == sleuthkit_oracle.NAMESPACE_DOS]
    leaf_names = {node["path"].rsplit("\\", 1)[-1] for node in report["nodes"]}
    check.expect(not {a.name for a in aliases} & leaf_names,
                 "%s: a DOS alias is in the scan" % name)
    shown = {node["path"] for node in report["nodes"]}
    check.expect(not {"\\" + p.replace("/", "\\") for p in image.deleted} & shown,
                 "%s: a deleted name is in the scan" % name)
    if name in ("parse_basic", "parse_4k_sectors") + tuple(WINDOWS_MADE_IMAGES):
        check.expect(aliases, "%s holds no DOS alias" % name)
    if name in ("parse_basic", "winxp_dftt7"):
        # XP left ten deleted records (29-38) with their names.
        check.expect(image.deleted, "%s holds no deleted name under a live folder" % name)
    if name in WINDOWS_MADE_IMAGES:
        check.expect(len(image.runs) == 2, "%s: $MFT in %d runs, not 2" % (name, len(image.runs)))
    if name == "engine_fragmented":
        check.expect(len(image.runs) >= 4, "%s: $MFT in only %d runs" % (name, len(image.runs)))
    if name == "parse_basic":
        # The target grew after its 120 links were made: the names that
        # spilled into extension records keep the old size, and only the
        # base record's $DATA is right (fls lists them all at 309,000 bytes).
        links = [n for n in raw if n.name.startswith("hard link number")]
        stale = [n for n in links if n.base and n.real_size != 309000]
        sizes = {size for path, size in image.files.items() if "/hard link number" in path}
        check.expect(len(links) == 120 and stale and sizes == {309000},
                     "%s: %d links, %d stale in extension records, fls sizes %r" % (
                         name, len(links), len(stale), sizes))


def stored_clusters(image, record):
    """(clusters of every non-resident $DATA stream, link count) of a file,
    from istat: it prints a stream's clusters with the holes (sparse and
    compressed-away clusters) as 0."""
    out = subprocess.run(["istat", image, str(record)], capture_output=True, text=True,
                         check=True).stdout
    clusters, inside, links = 0, False, 1
    for line in out.splitlines():
        if line.startswith("Links: "):
            links = int(line.split()[1])
        if line.startswith("Type: "):
            inside = line.startswith("Type: $DATA") and "Non-Resident" in line
        elif inside:
            clusters += sum(1 for n in line.split() if n.isdigit() and n != "0")
    return clusters, links


def check_sizes_on_disk(image, report, check):
    """Every file's size on disk against The Sleuth Kit's clusters; folders
    count the clusters of each file below them once, however many of its
    names are there; the volume's used and free space against ntfsinfo."""
    name = os.path.basename(image.prefix)
    cluster = image.geometry["cluster_size"]
    nodes = {n["path"]: n for n in report["nodes"]}
    records, problems = {}, []
    for path, node in nodes.items():
        if node["isDirectory"] or path.startswith("\\$"):
            continue
        found = subprocess.run(["ifind", "-n", path.lstrip("\\").replace("\\", "/"), image.image],
                               capture_output=True, text=True).stdout.split()
        record = int(found[0].split("-")[0]) if found else None
        records[path] = record
        clusters, links = stored_clusters(image.image, record)
        want = {"sizeOnDisk": clusters * cluster}
        if links > 1:
            want["links"] = links
        got = {key: node.get(key) for key in want}
        if got != want:
            problems.append("%s: %r, istat %r" % (path, got, want))
    for folder, node in nodes.items():
        if not node["isDirectory"] or folder.startswith("\\$") or folder == "\\":
            continue
        below = {records[p] for p in records if p.startswith(folder + "\\")}
        want = sum(stored_clusters(image.image, r)[0] for r in below) * cluster
        if node["sizeOnDisk"] != want:
            problems.append("%s: %d on disk, its files' clusters once %d" % (
                folder, node["sizeOnDisk"], want))
    info = subprocess.run(["ntfsinfo", "-m", "-f", image.image], capture_output=True,
                          text=True).stdout
    free = int(re.search(r"Free Clusters: (\d+)", info).group(1)) * cluster
    volume = int(re.search(r"Volume Size in Clusters: (\d+)", info).group(1)) * cluster
    space = report.get("space") or {}
    if (space.get("freeSpace"), space.get("volumeSize")) != (free, volume):
        problems.append("space %r, ntfsinfo free %d of %d" % (space, free, volume))
    if space.get("filesOnDisk") != report["sizeOnDisk"] or space.get("unexplained", 1 << 40) > 64 * cluster:
        problems.append("space %r against the scan's %d on disk" % (space, report["sizeOnDisk"]))
    sparse = nodes.get("\\sparse.bin", {})
    if (sparse.get("size"), sparse.get("sizeOnDisk")) != (1 << 30, 1 << 20):
        problems.append("sparse.bin: %r" % sparse)
    if report_problems(check, name + " sizes on disk", problems):
        print("%s: %d files' sizes on disk agree with istat, %d folders count each file once, "
              "free space %d agrees with ntfsinfo" % (name, len(records), sum(
                  1 for n in nodes.values() if n["isDirectory"]), free))


def check_threads_agree(image, workers_report, options, check):
    """Decoding on workers must give the tree one worker gives."""
    report = scan_volume(image, options, check, workers=1)
    if report is not None and workers_report is not None:
        check.expect(report["nodes"] == workers_report["nodes"],
                     "engine_large_mft: --threads 1 and --threads %d differ" % WORKERS)


def check_sub_folder_roots(image, options, check, every_case):
    """A folder inside the image as the root: found ignoring case, with
    trailing separators trimmed and either separator."""
    cases = [("\\case FOLDER\\", "\\case FOLDER", "Case Folder")]
    if every_case:
        cases += [("\\case folder\\INNER", "\\case folder\\INNER", "Case Folder/Inner"),
                  ("/deep/level000/LEVEL001", "/deep/level000/LEVEL001", "deep/level000/level001")]
    for given, root_path, prefix in cases:
        what = "--root %s" % given
        report, _ = scan(["--image", tool_path(image.image, options), "--root", given], what,
                         options, check)
        if report is not None:
            report_problems(check, what, expected_tree.compare_report(
                report, image.nodes(root_path, report, prefix), root_path))
    if every_case:
        check_failure(["--image", tool_path(image.image, options), "--root", "\\wide\\nothing"],
                      "\\wide\\nothing", NO_ROOT, options, check)


def check_failure(args, root_path, message, options, check):
    what = " ".join(args[-2:])
    report, _ = scan(args, what, options, check, expected_code=2)
    if report is not None:
        got = (report["status"], report["engine"], report["message"], report["rootPath"],
               report["nodes"], report["fileCount"], report["folderCount"])
        check.expect(got == ("Failed", "NtfsMft", message, root_path, [], 0, 0),
                     "%s: %r" % (what, got))


def boot_sector(sector_size, sectors_per_cluster, mft_cluster=4, total_sectors=128):
    boot = bytearray(512)
    boot[3:11] = b"NTFS    "
    struct.pack_into("<HB", boot, 0x0B, sector_size, sectors_per_cluster)
    struct.pack_into("<Q", boot, 0x28, total_sectors)
    struct.pack_into("<qb", boot, 0x30, mft_cluster, -10)  # 2^10-byte records
    return bytes(boot)


def check_unreadable_images(options, check):
    with tempfile.TemporaryDirectory(prefix="ombrix-images-") as folder:
        # no-mft.img holds its clusters, zeros where record 0 should be;
        # cut-off.img only its boot sector, so not one cluster.
        files = {"not-ntfs.img": b"x" * 4096, "zero-sector.img": boot_sector(0, 8),
                 "no-mft.img": boot_sector(512, 8) + bytes(128 * 512 - 512),
                 "cut-off.img": boot_sector(512, 8)}
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        for name, root, message in (("missing.img", "\\", NOT_OPENED),
                                    ("not-ntfs.img", "\\", NOT_AVAILABLE),
                                    ("zero-sector.img", "\\", NOT_USABLE),
                                    ("cut-off.img", "\\", NOT_USABLE),
                                    ("no-mft.img", "\\", NO_RUN_LIST),
                                    ("no-mft.img", "\\..\\x", NO_ROOT)):
            check_failure(["--image", os.path.join(folder, name), "--root", root], root, message,
                          options, check)


def check_live_volumes(options, check):
    """Wine opens \\\\.\\C: but has no FSCTL_GET_NTFS_VOLUME_DATA; a drive
    that does not exist has no volume at all."""
    check_failure(["--engine", "mft", "C:\\windows\\\\\\"], "C:\\windows", NOT_QUERIED,
                  options, check)
    check_failure(["--engine", "mft", "Q:\\nowhere\\"], "Q:\\nowhere", NOT_AVAILABLE,
                  options, check)


def is_volume_metadata(path, root):
    return path != root and path[len(root):].split("\\")[0].startswith("$")


def check_agreement_with_directory_query(image, image_report, options, check):
    """The same files read two ways: engine_tree.img by the MFT engine and
    the copy of its tree taken through a read-only mount (engine_tree.copy)
    by the directory-query engine. A mount shows no metadata files, so they
    leave the image's side with their bytes and counts."""
    copy = image.prefix + ".copy"
    if not check.expect(os.path.isdir(copy), "%s missing (the test setup makes it)" % copy):
        return
    copy_root = tool_path(copy, options)
    copy_report, _ = scan(["--engine", "ntquery", copy_root], "engine_tree.copy", options, check)
    if copy_report is None or image_report is None:
        return
    kinds = {copy_root: (True, 0, False)}
    for node in image_report["nodes"]:
        if node["path"] != "\\" and not is_volume_metadata(node["path"], "\\"):
            kinds[expected_tree.join(copy_root, node["path"][1:])] = (
                node["isDirectory"], node["size"],
                bool(node["attributes"] & expected_tree.ATTRIBUTE_REPARSE_POINT))
    problems = expected_tree.compare_report(
        copy_report, expected_tree.with_totals(kinds, copy_root), copy_root)
    if report_problems(check, "engine_tree.copy against the image", problems):
        print("engine_tree.copy: %d nodes agree between the MFT and the directory-query engine" %
              len(copy_report["nodes"]))


def run(options, check):
    native = not options.runner
    names = BUILT_IMAGES + WINDOWS_MADE_IMAGES if native else WINE_IMAGES
    reports = {}
    for name in names:
        prefix = os.path.join(options.testdata, "ntfs", name)
        if not os.path.exists(prefix + ".img"):
            if check.expect(name in WINDOWS_MADE_IMAGES, "%s: image missing (the test setup "
                            "builds it)" % name):
                print("%s: not present, skipped" % name)
            continue
        image = sleuthkit_oracle.Image(prefix)
        reports[name] = scan_volume(image, options, check)
        if reports[name] is not None:
            check_awkward_cases(name, image, reports[name], check)
        if name == "space_cases" and reports[name] is not None:
            check_sizes_on_disk(image, reports[name], check)
        if name == "engine_large_mft":
            check_threads_agree(image, reports[name], options, check)

    tree = sleuthkit_oracle.Image(os.path.join(options.testdata, "ntfs", "engine_tree"))
    check_sub_folder_roots(tree, options, check, every_case=native)
    if native:
        check_unreadable_images(options, check)
    else:
        check_live_volumes(options, check)
        check_agreement_with_directory_query(tree, reports.get("engine_tree"), options, check)


if __name__ == "__main__":
    scan_check.main(run)
