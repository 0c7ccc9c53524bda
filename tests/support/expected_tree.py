"""What a scan report must hold, node by node, and the comparison of an
ombrix-scan --json --tree report with it. The oracles (listing_oracle for
directory trees, sleuthkit_oracle for NTFS images) say which entries exist;
this module adds up every folder's totals the way the scan tree defines
them and finds every difference.

Nodes are keyed by their path as the tool reports it (backslashes).
"""
from collections import namedtuple

ATTRIBUTE_DIRECTORY = 0x10
ATTRIBUTE_REPARSE_POINT = 0x400

# Totals: bytes and files anywhere below, folders below not counting the
# folder itself. link: a folder the engines must show with the
# reparse-point attribute and never enter.
Node = namedtuple("Node", "is_dir size files folders link")


def join(folder, name):
    return folder + ("" if folder.endswith(("\\", "/")) else "\\") + name


def parent_of(path, root):
    """The folder holding path, for paths below root."""
    cut = path.rfind("\\")
    return root if cut < len(root) else path[:cut]


def with_totals(kinds, root):
    """kinds: {path: (is_dir, size, link)} for root and what lies below it;
    returns {path: Node} with every folder's totals added up."""
    size = {path: 0 for path, (is_dir, _, _) in kinds.items() if is_dir}
    files, folders = dict(size), dict(size)
    for path, (is_dir, own, _) in kinds.items():
        folder = path
        while folder != root:
            folder = parent_of(folder, root)
            if is_dir:
                folders[folder] += 1
            else:
                files[folder] += 1
                size[folder] += own
    return {path: Node(True, size[path], files[path], folders[path], link) if is_dir
            else Node(False, own, 0, 0, False)
            for path, (is_dir, own, link) in kinds.items()}


def merged(label, parts):
    """Several scans hung under a synthetic root named label; parts:
    [(root path, {path: Node})] in path order."""
    nodes = {}
    for _, part in parts:
        nodes.update(part)
    roots = [part[root_path] for root_path, part in parts]
    nodes[label] = Node(True, sum(r.size for r in roots), sum(r.files for r in roots),
                        sum(r.folders + 1 for r in roots), False)
    return nodes


def summary_of(nodes, root_path, is_merged=False):
    """fileCount, folderCount and totalSize a report must carry. A merged
    report counts the folders of its parts, not its synthetic root."""
    root = nodes[root_path]
    return {"fileCount": root.files, "folderCount": root.folders + (0 if is_merged else 1),
            "totalSize": root.size}


def compare_report(report, nodes, root_path, is_merged=False):
    """Every difference between a --json --tree report and the expected
    nodes, as readable lines (empty when they agree)."""
    problems = []
    for key, value in summary_of(nodes, root_path, is_merged).items():
        if report.get(key) != value:
            problems.append("%s: scan %r, expected %r" % (key, report.get(key), value))
    if report.get("rootPath") != root_path:
        problems.append("rootPath: scan %r, expected %r" % (report.get("rootPath"), root_path))
    if report.get("nodes") is None:
        return problems + ["no nodes in the report (was --tree given?)"]
    seen = set()
    for node in report["nodes"]:
        path = node["path"]
        if path in seen:
            problems.append("node listed twice: %r" % path)
        seen.add(path)
        want = nodes.get(path)
        if want is None:
            problems.append("unexpected node: %r" % path)
            continue
        got = Node(node["isDirectory"], node["size"], node["fileCount"], node["folderCount"],
                   bool(node["attributes"] & ATTRIBUTE_REPARSE_POINT))
        if got != want:
            problems.append("%r (isDirectory, size, files, folders, link): scan %r, expected %r"
                            % (path, tuple(got), tuple(want)))
    missing = sorted(set(nodes) - seen)
    problems += ["missing from the scan: %r" % path for path in missing[:20]]
    if len(missing) > 20:
        problems.append("... %d more missing" % (len(missing) - 20))
    return problems


ALL_DRIVES_LABEL = "All local drives"


def compare_rankings(report, nodes, root_path, count, part_roots=()):
    """The top files and folders must be the largest below the root, largest
    first, with their true sizes. Only sizes are compared in order: among
    equal sizes the report orders by UTF-16 code units, not by Python's
    code points. Under the all-drives label the scanned paths' own roots
    (part_roots) are never ranked: the window ranks across drives below
    them."""
    problems = []
    skipped = {root_path} | (set(part_roots) if root_path == ALL_DRIVES_LABEL else set())
    for key, is_dir in (("topFiles", False), ("topFolders", True)):
        want = sorted((n.size for p, n in nodes.items() if n.is_dir == is_dir and p not in skipped),
                      reverse=True)[:count]
        ranked = report.get(key, [])
        if [item["size"] for item in ranked] != want:
            problems.append("%s sizes %r, expected %r" % (
                key, [item["size"] for item in ranked][:10], want[:10]))
        for item in ranked:
            node = nodes.get(item["path"])
            if node is None or item["path"] in skipped or node.is_dir != is_dir:
                problems.append("%s: %r is not a %s below the root" % (
                    key, item["path"], "folder" if is_dir else "file"))
            elif item["size"] != node.size or (is_dir and (
                    item["fileCount"], item["folderCount"]) != (node.files, node.folders)):
                problems.append("%s: %r differs from what is expected" % (key, item["path"]))
    return problems


def compare_partial_report(report, nodes, root_path):
    """For a cancelled scan's --tree report: every node must be a real entry
    with its true kind and file size, and every folder's totals must add up
    over the nodes the report holds (a partial tree with consistent
    totals)."""
    problems = []
    if report.get("nodes") is None:
        return ["no nodes in the report (was --tree given?)"]
    by_path = {}
    for node in report["nodes"]:
        path, want = node["path"], nodes.get(node["path"])
        if want is None:
            problems.append("unexpected node: %r" % path)
            continue
        if path in by_path:
            problems.append("node listed twice: %r" % path)
        by_path[path] = node
        if want.is_dir != node["isDirectory"] or (not want.is_dir and node["size"] != want.size):
            problems.append("%r: kind or size differ" % path)
    if root_path not in by_path:
        return problems + ["the root is missing"]
    for path in sorted(by_path):
        if path != root_path and not by_path.get(parent_of(path, root_path), {}).get("isDirectory"):
            problems.append("%r: its folder is not a node" % path)
    if problems:
        return problems
    scanned = with_totals({path: (node["isDirectory"], node["size"], False)
                           for path, node in by_path.items()}, root_path)
    for path, want in scanned.items():
        node = by_path[path]
        if want.is_dir and (node["size"], node["fileCount"], node["folderCount"]) != (
                want.size, want.files, want.folders):
            problems.append("%r: totals do not add up over its scanned nodes" % path)
    files = sum(1 for node in by_path.values() if not node["isDirectory"])
    summary = (report.get("fileCount"), report.get("folderCount"), report.get("totalSize"))
    if summary != (files, len(by_path) - files, by_path[root_path]["size"]):
        problems.append("summary %r does not match the nodes" % (summary,))
    return problems
