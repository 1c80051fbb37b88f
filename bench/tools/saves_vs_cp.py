#!/usr/bin/env python3
"""Peak memory of pack and add, and the speed of a whole save (Save As) against cp + sync.

  1. pack of a folder of --megabytes MB, add of the same folder to a small archive, and
     compact (a whole save over the archive's own file) of the packed archive: the peak
     resident memory of each process (it must not grow with the bytes added);
  2. Save As of the archive to a new file (`save_as`, the editor's Save As code) against `cp`
     of the same file to a new file followed by `sync`, and by `sync FILE` (fsync of the copy
     only, the flush an atomic save needs).

Builds build/rel (Release, through ccache) unless --build is given; run it under `nice`. Every
timing is the best of --runs runs after a warm-up round; the two take turns and each starts
after a sync, so the numbers compare the programs rather than the disk.

  python3 bench/tools/saves_vs_cp.py [--build DIR] [--work DIR] [--runs N] [--megabytes MB]
"""

import argparse
import os
import shutil
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from extract_vs_cp import ROOT, best_times, run  # noqa: E402


def peak_rss_mib(command):
    """Runs `command` and returns its peak resident memory in MiB."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    if status != 0:
        raise RuntimeError(f"{command} failed with status {status}")
    return usage.ru_maxrss / 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", type=Path, default=None, help="a build folder with bin/kestrel-big (skips building)")
    parser.add_argument("--work", type=Path, default=ROOT / "build" / "bench-saves", help="scratch folder")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--megabytes", type=int, default=300)
    parser.add_argument("--entries", type=int, default=3000)
    args = parser.parse_args()

    build = args.build
    if build is None:
        build = ROOT / "build" / "rel"
        run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
             "-DKESTREL_BUILD_BENCH=ON", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache",
             "-DCMAKE_C_COMPILER_LAUNCHER=ccache"], stdout=subprocess.DEVNULL)
        run(["cmake", "--build", str(build), "-j2", "--target", "kestrel-big", "make_synthetic_big", "save_as"])
    tool = str(build / "bin" / "kestrel-big")
    generator = str(build / "bin" / "make_synthetic_big")
    save_as = str(build / "bin" / "save_as")

    work = args.work
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    source = work / "source.big"
    run([generator, str(source), str(args.entries), str(args.megabytes * 1024 * 1024)])
    folder = work / "tree"
    run([tool, "extract", "--quiet", "-C", str(folder), str(source)])
    packed = work / "packed.big"
    small = work / "small.big"
    (work / "smalltree").mkdir()
    (work / "smalltree" / "readme.txt").write_text("small")
    run([tool, "pack", "--quiet", str(work / "smalltree"), str(small)])

    pack_rss = peak_rss_mib([tool, "pack", "--quiet", "--base", str(folder), str(folder), str(packed)])
    add_rss = peak_rss_mib([tool, "add", "--quiet", "--base", str(folder), str(small), str(folder)])
    save_rss = peak_rss_mib([tool, "compact", "--quiet", str(packed)])

    saved = work / "saved.big"
    copied = work / "copied.big"
    with open(os.devnull, "wb") as null:
        # `sync FILE` flushes only that file (fsync), which is what a save that must survive a
        # power cut pays; a bare `sync` flushes everything and is cheaper on some virtual disks.
        t_save, t_copy, t_durable = best_times(args.runs, [
            (lambda: saved.unlink(missing_ok=True), [save_as, str(packed), str(saved)], null),
            (lambda: copied.unlink(missing_ok=True), ["sh", "-c", f"cp '{packed}' '{copied}' && sync"], null),
            (lambda: copied.unlink(missing_ok=True), ["sh", "-c", f"cp '{packed}' '{copied}' && sync '{copied}'"],
             null),
        ])

    size = packed.stat().st_size
    print(f"folder: {size / 2**20:.0f} MiB in {args.entries} files")
    print(f"peak memory  pack {pack_rss:7.1f} MiB   add {add_rss:7.1f} MiB   compact {save_rss:7.1f} MiB")
    print(f"Save As      {t_save:8.3f} s  ({size / 2**20 / t_save:7.0f} MiB/s)")
    print(f"cp + sync    {t_copy:8.3f} s  ({size / 2**20 / t_copy:7.0f} MiB/s)")
    print(f"cp + sync FILE {t_durable:6.3f} s  ({size / 2**20 / t_durable:7.0f} MiB/s)")
    print(f"Save As / (cp + sync)       {t_save / t_copy:6.2f}")
    print(f"Save As / (cp + sync FILE)  {t_save / t_durable:6.2f}")
    shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
