#!/usr/bin/env python3
"""The MFT engine and the NtQueryDirectory engine on the same files.

Under Wine: scans engine_tree.img with `ombrix-scan --image --json --tree`
and the copy of its tree that the test setup took out through a read-only
mount (engine_tree.copy) with `--engine ntquery --json --tree`, and
compares the set of (relative path, isDirectory, size) of every node and
every folder's size, file count and folder count. On the image side the
NTFS metadata files ('$' names directly under the root, and all below
them) are left out, with their bytes and counts, since a mounted volume
never shows them.
Natively: the NtQueryDirectory engine needs Windows; nothing to compare.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import listing_oracle  # noqa: E402
import scan_check  # noqa: E402
from scan_check import run_tool  # noqa: E402

IMAGE = "engine_tree"


def scan(args, expected_engine, what, options, check):
    """{relative path: (isDirectory, size, fileCount, folderCount)} of a
    completed scan's nodes, or None (and a failure)."""
    code, stdout, stderr = run_tool(args + ["--json", "--tree"], options)
    if not check.expect(code == 0, "%s: exit code %d, stderr: %s" % (what, code, stderr[-500:])):
        return None
    report = scan_check.parse_report(stdout, check, what)
    if report is None:
        return None
    if not check.expect(report["status"] == "Completed" and report["engine"] == expected_engine,
                        "%s: status %s, engine %s, message %s" % (
                            what, report["status"], report["engine"], report.get("message"))):
        return None
    nodes = {}
    for node in report["nodes"]:
        rel = listing_oracle.relative_to_root(node["path"], report["rootPath"])
        if not check.expect(rel is not None and rel not in nodes,
                            "%s: node outside the root or twice: %r" % (what, node["path"])):
            continue
        nodes[rel] = (node["isDirectory"], node["size"], node["fileCount"], node["folderCount"])
    return nodes


def is_volume_metadata(rel):
    return rel.split("/")[0].startswith("$")


def without_volume_metadata(nodes):
    """The image's nodes as a mount shows them: the metadata files and what
    lies below them removed, and the root's totals reduced by them."""
    visible = {rel: value for rel, value in nodes.items() if not is_volume_metadata(rel)}
    is_dir, size, files, folders = visible[""]
    for rel, (node_is_dir, node_size, node_files, node_folders) in nodes.items():
        if rel and "/" not in rel and is_volume_metadata(rel):
            size -= node_size
            files -= node_files + (0 if node_is_dir else 1)
            folders -= node_folders + (1 if node_is_dir else 0)
    visible[""] = (is_dir, size, files, folders)
    return visible


def compare(image_nodes, copy_nodes):
    problems = []
    for rel in sorted(set(image_nodes) - set(copy_nodes))[:20]:
        problems.append("only in the image scan: %r %r" % (rel, image_nodes[rel]))
    for rel in sorted(set(copy_nodes) - set(image_nodes))[:20]:
        problems.append("only in the copy scan: %r %r" % (rel, copy_nodes[rel]))
    for rel in sorted(set(image_nodes) & set(copy_nodes)):
        if image_nodes[rel] != copy_nodes[rel]:
            problems.append("%r (isDirectory, size, fileCount, folderCount): image %r, copy %r" % (
                rel, image_nodes[rel], copy_nodes[rel]))
    return problems


def run(options, check):
    if not options.runner:
        print("the NtQueryDirectory engine needs Windows (Wine); nothing to compare natively")
        return
    prefix = os.path.join(options.testdata, "ntfs", IMAGE)
    for path in (prefix + ".img", prefix + ".copy"):
        if not check.expect(os.path.exists(path), "%s missing (the test setup makes it)" % path):
            return
    image_nodes = scan(["--image", scan_check.tool_path(prefix + ".img", options)],
                       "NtfsMft", "image scan", options, check)
    copy_nodes = scan(["--engine", "ntquery", scan_check.tool_path(prefix + ".copy", options)],
                      "NtQueryDirectory", "copy scan", options, check)
    if image_nodes is None or copy_nodes is None:
        return
    image_nodes = without_volume_metadata(image_nodes)
    problems = compare(image_nodes, copy_nodes)
    check.failures.extend(problems[:60])
    if not problems:
        _, size, files, folders = copy_nodes[""]
        print("%s: %d nodes (%d files, %d folders, %d bytes) agree between the image and its copy" % (
            IMAGE, len(copy_nodes), files, folders, size))


if __name__ == "__main__":
    scan_check.main(run)
