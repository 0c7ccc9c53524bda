"""Builds small NTFS volume images from a description, with an independent
listing of each made by The Sleuth Kit.

An image is made by mkntfs (quick format into a sparse file) and filled
through the ntfs-3g FUSE mount, so everything on it was written by a real
NTFS implementation. The oracle files next to the image come from The
Sleuth Kit, which shares no code with ours:

  NAME.img          the volume
  NAME.mft          its $MFT data stream            (icat IMG 0)
  NAME.fls.txt      every name with path and size   (fls -r -p -l IMG)
  NAME.ils.txt      allocated base records          (ils -a IMG)
  NAME.ils-free.txt free records                    (ils -A IMG)
  NAME.istat0.txt   record 0 with $MFT's clusters   (istat IMG 0)
  NAME.volume.txt   sector, cluster and record sizes from the boot sector

A description is a list of steps run in order on the mounted volume (paths
are relative to the volume root, '/' separated):

  ("mkdir", path)                 folder, parents included
  ("write", path, data)           file; data is bytes or a byte count
  ("append", path, data)          grow a file
  ("link", existing, new)         hard link
  ("stream", path, name, data)    alternate data stream path:name
  ("dosname", path, short)        8.3 alias (ntfs-3g's system.ntfs_dos_name)
  ("remove", path)                delete a file (leaves a free record)

build_image() is idempotent: it keeps a stamp of the description and the
mkntfs options and does nothing when the image is current.
"""

import contextlib
import hashlib
import os
import struct
import subprocess
import tempfile


def _run(args, **kwargs):
    return subprocess.run(args, check=True, **kwargs)


@contextlib.contextmanager
def mounted(image, options="streams_interface=windows"):
    mount_point = tempfile.mkdtemp(prefix="ombrix-ntfs-")
    _run(["ntfs-3g", "-o", options, image, mount_point])
    try:
        yield mount_point
    finally:
        _run(["fusermount", "-u", mount_point])
        os.rmdir(mount_point)


def _data_bytes(data):
    if isinstance(data, int):
        # Not all zeros, so nothing along the way can treat it as sparse.
        pattern = b"ombrix-ntfs-test "
        return (pattern * (data // len(pattern) + 1))[:data]
    return data


def apply_steps(root, steps):
    for step in steps:
        kind, args = step[0], step[1:]
        path = os.path.join(root, args[0])
        if kind == "mkdir":
            os.makedirs(path, exist_ok=True)
        elif kind == "write":
            with open(path, "wb") as f:
                f.write(_data_bytes(args[1]))
        elif kind == "append":
            with open(path, "ab") as f:
                f.write(_data_bytes(args[1]))
        elif kind == "link":
            os.link(path, os.path.join(root, args[1]))
        elif kind == "stream":
            with open(path + ":" + args[1], "wb") as f:
                f.write(_data_bytes(args[2]))
        elif kind == "dosname":
            os.setxattr(path, "system.ntfs_dos_name", args[1].encode("ascii"))
        elif kind == "remove":
            os.remove(path)
        else:
            raise ValueError("unknown step %r" % (kind,))


def read_volume_geometry(image):
    with open(image, "rb") as f:
        boot = f.read(512)
    bytes_per_sector = struct.unpack_from("<H", boot, 0x0B)[0]
    cluster_size = bytes_per_sector * boot[0x0D]
    clusters_per_record = struct.unpack_from("<b", boot, 0x40)[0]
    if clusters_per_record > 0:
        record_size = clusters_per_record * cluster_size
    else:
        record_size = 1 << -clusters_per_record
    return {"sector_size": bytes_per_sector, "cluster_size": cluster_size,
            "record_size": record_size}


def extract_oracle(image, prefix, listings=True):
    """Writes the Sleuth Kit listing of image to prefix.* files."""
    with open(prefix + ".mft", "wb") as out:
        _run(["icat", image, "0"], stdout=out)
    for suffix, args in ((".fls.txt", ["fls", "-r", "-p", "-l"]),
                         (".ils.txt", ["ils", "-a"]),
                         (".ils-free.txt", ["ils", "-A"]),
                         (".istat0.txt", ["istat"])) if listings else ():
        with open(prefix + suffix, "wb") as out:
            _run(args + [image] + (["0"] if suffix == ".istat0.txt" else []), stdout=out)
    geometry = read_volume_geometry(image)
    with open(prefix + ".volume.txt", "w") as out:
        for key, value in geometry.items():
            out.write("%s=%d\n" % (key, value))


def _stamp_of(*parts):
    digest = hashlib.sha256()
    for part in parts:
        digest.update(repr(part).encode())
    with open(__file__, "rb") as f:
        digest.update(f.read())
    return digest.hexdigest()


def is_current(stamp_path, stamp):
    try:
        with open(stamp_path) as f:
            return f.read() == stamp
    except OSError:
        return False


def build_image(out_dir, name, steps, size_mb=16, mkntfs_args=(), extra_stamp="",
                listings=True):
    """Makes out_dir/name.img from steps and its oracle files; returns the
    image path. Without listings only the $MFT and the geometry are
    extracted (large benchmark volumes)."""
    os.makedirs(out_dir, exist_ok=True)
    image = os.path.join(out_dir, name + ".img")
    stamp_path = os.path.join(out_dir, name + ".stamp")
    stamp = _stamp_of(steps, size_mb, mkntfs_args, extra_stamp)
    if is_current(stamp_path, stamp):
        return image
    if os.path.exists(stamp_path):
        os.remove(stamp_path)
    with open(image, "wb") as f:
        f.truncate(size_mb * 1024 * 1024)
    # mkntfs warns on stderr that a file is not a block device.
    _run(["mkntfs", "-F", "-Q", "-q", "-p", "0", "-H", "0", "-S", "0"] + list(mkntfs_args) + [image],
         stderr=subprocess.DEVNULL)
    with mounted(image) as root:
        apply_steps(root, steps)
    extract_oracle(image, os.path.join(out_dir, name), listings)
    with open(stamp_path, "w") as f:
        f.write(stamp)
    return image


def unpack_gzip_image(source, out_dir, name):
    """Decompresses a gzipped raw image into a sparse file and writes its
    oracle files; returns the image path (idempotent)."""
    os.makedirs(out_dir, exist_ok=True)
    image = os.path.join(out_dir, name + ".img")
    stamp_path = os.path.join(out_dir, name + ".stamp")
    stamp = _stamp_of(os.path.getsize(source), os.path.getmtime(source))
    if is_current(stamp_path, stamp):
        return image
    _run(["bash", "-c", 'zcat "$1" | dd of="$2" conv=sparse bs=64k status=none', "-", source, image])
    extract_oracle(image, os.path.join(out_dir, name))
    with open(stamp_path, "w") as f:
        f.write(stamp)
    return image
