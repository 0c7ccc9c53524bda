/* Fills a freshly made NTFS image with a large, realistic tree through
 * libntfs-3g directly: the FUSE mount manages about 1,500 files a second,
 * far too slow for a million. Usage:
 *   ntfs_populate IMAGE TOP_FOLDERS SUB_FOLDERS LEAF_FOLDERS FILES_PER_LEAF
 * makes TOP x SUB x LEAF folders three levels deep with FILES_PER_LEAF files
 * in each leaf and a few in every folder above, sizes mostly small
 * (resident) with a share of larger ones, as on a user volume.
 */
/* libntfs-3g's installed headers expect the system headers (and its own
 * types.h) to come first: they leave out the includes their config.h would
 * have pulled in. The order is therefore fixed by hand. */
// clang-format off
#include <errno.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include <ntfs-3g/types.h>
#include <ntfs-3g/attrib.h>
#include <ntfs-3g/dir.h>
#include <ntfs-3g/inode.h>
#include <ntfs-3g/unistr.h>
#include <ntfs-3g/volume.h>
// clang-format on

static unsigned long long files_made;
static char data[65536];

static ntfs_inode* create(ntfs_inode* dir, const char* name, mode_t type) {
  ntfschar* uname = NULL;
  int len = ntfs_mbstoucs(name, &uname);
  if (len < 0) {
    perror("ntfs_mbstoucs");
    exit(1);
  }
  ntfs_inode* ni = ntfs_create(dir, const_cpu_to_le32(0), uname, (u8)len, type);
  free(uname);
  if (ni == NULL) {
    fprintf(stderr, "ntfs_create %s: %s\n", name, strerror(errno));
    exit(1);
  }
  return ni;
}

static void make_file(ntfs_inode* dir, const char* name, unsigned long long seed) {
  ntfs_inode* ni = create(dir, name, S_IFREG);
  /* Mostly small (resident) files; every 64th a few clusters; every 4096th
   * a megabyte or two. Enough variety for real sizes and run lists while
   * the image stays a few GB. */
  s64 size = (s64)(seed * 2654435761ull % 700);
  if (seed % 64 == 0) size = 4096 + (s64)(seed % 12000);
  if (seed % 4096 == 0) size = 1048576 + (s64)(seed % 1048576);
  if (size > 0) {
    ntfs_attr* na = ntfs_attr_open(ni, AT_DATA, AT_UNNAMED, 0);
    if (na == NULL) {
      perror("ntfs_attr_open");
      exit(1);
    }
    s64 done = 0;
    while (done < size) {
      s64 part = size - done < (s64)sizeof(data) ? size - done : (s64)sizeof(data);
      if (ntfs_attr_pwrite(na, done, part, data) != part) {
        perror("ntfs_attr_pwrite");
        exit(1);
      }
      done += part;
    }
    ntfs_attr_close(na);
  }
  ntfs_inode_close_in_dir(ni, dir);
  ++files_made;
}

static void fill(ntfs_inode* dir, int count, const char* pattern, unsigned long long seed) {
  char name[128];
  for (int i = 0; i < count; ++i) {
    snprintf(name, sizeof(name), pattern, i);
    make_file(dir, name, seed * 131 + (unsigned long long)i);
  }
}

int main(int argc, char** argv) {
  if (argc != 6) {
    fprintf(stderr, "usage: %s IMAGE TOP SUB LEAF FILES_PER_LEAF\n", argv[0]);
    return 2;
  }
  int top = atoi(argv[2]), sub = atoi(argv[3]), leaf = atoi(argv[4]), files = atoi(argv[5]);
  memset(data, 'o', sizeof(data));
  ntfs_volume* vol = ntfs_mount(argv[1], 0);
  if (vol == NULL) {
    perror("ntfs_mount");
    return 1;
  }
  ntfs_inode* root = ntfs_inode_open(vol, FILE_root);
  char name[128];
  for (int t = 0; t < top; ++t) {
    snprintf(name, sizeof(name), "Project %03d", t);
    ntfs_inode* d1 = create(root, name, S_IFDIR);
    fill(d1, 5, "readme %d.txt", (unsigned long long)t);
    for (int s = 0; s < sub; ++s) {
      snprintf(name, sizeof(name), "module_%02d", s);
      ntfs_inode* d2 = create(d1, name, S_IFDIR);
      fill(d2, 3, "notes-%d.md", (unsigned long long)(t * 100 + s));
      for (int l = 0; l < leaf; ++l) {
        snprintf(name, sizeof(name), "src %02d", l);
        ntfs_inode* d3 = create(d2, name, S_IFDIR);
        fill(d3, files, "source file %04d with a typical name.cpp",
             (unsigned long long)((t * 100 + s) * 100 + l));
        ntfs_inode_close_in_dir(d3, d2);
      }
      ntfs_inode_close_in_dir(d2, d1);
    }
    ntfs_inode_close_in_dir(d1, root);
    fprintf(stderr, "\r%d/%d top folders, %llu files", t + 1, top, files_made);
  }
  fprintf(stderr, "\n");
  ntfs_inode_close(root);
  if (ntfs_umount(vol, FALSE) != 0) {
    perror("ntfs_umount");
    return 1;
  }
  printf("%llu\n", files_made);
  return 0;
}
