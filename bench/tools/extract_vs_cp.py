#!/usr/bin/env python3
"""Times kestrel-big against cp on synthetic archives and prints the ratios.

  1. extract of a whole archive (>= 500 MB, thousands of entries) against `cp -r` of the tree
     that extract wrote (the same bytes and files, copied by the system's own tool), and
     against `cp` of the archive file itself (the same bytes as one file);
  2. list of a 100,000-entry archive (target: well under a second).

Builds build/release (Release) unless --build is given; run it under `nice`. Every timing is
the best of --runs runs, after a warm-up round that fills the page cache; extract and cp take
turns and each starts after a sync, so the numbers compare the tools rather than the disk.

  python3 bench/tools/extract_vs_cp.py [--build DIR] [--work DIR] [--runs N] [--megabytes MB]
"""

import argparse
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]


def run(command, **kwargs):
    subprocess.run(command, check=True, **kwargs)


def timed(prepare, command, stdout=None):
    prepare()
    # Write back what earlier steps left dirty, so no run pays for another's writes.
    os.sync()
    start = time.perf_counter()
    run(command, stdout=stdout)
    return time.perf_counter() - start


def best_times(runs, jobs):
    """Runs the jobs in turn, `runs` rounds after a warm-up round; the best time of each."""
    best = [None] * len(jobs)
    for round_number in range(runs + 1):
        for i, job in enumerate(jobs):
            elapsed = timed(*job)
            if round_number > 0:
                best[i] = elapsed if best[i] is None else min(best[i], elapsed)
    return best


def remove(path):
    shutil.rmtree(path, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", type=Path, default=None, help="a build folder with bin/kestrel-big (skips building)")
    parser.add_argument("--work", type=Path, default=ROOT / "build" / "bench-tools", help="scratch folder")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--megabytes", type=int, default=600)
    parser.add_argument("--entries", type=int, default=5000)
    args = parser.parse_args()

    build = args.build
    if build is None:
        build = ROOT / "build" / "release"
        run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
             "-DKESTREL_BUILD_BENCH=ON"], stdout=subprocess.DEVNULL)
        run(["cmake", "--build", str(build), "-j2", "--target", "kestrel-big", "make_synthetic_big"])
    tool = build / "bin" / "kestrel-big"
    generator = build / "bin" / "make_synthetic_big"

    work = args.work
    work.mkdir(parents=True, exist_ok=True)
    big = work / "large.big"
    many = work / "many.big"
    total = args.megabytes * 1024 * 1024
    run([str(generator), str(big), str(args.entries), str(total)])
    run([str(generator), str(many), "100000", str(100000 * 200)])

    extracted = work / "extracted"
    copied = work / "copied"
    copied_archive = work / "copied.big"
    # Alternating extract and cp, so that both meet the same state of the machine.
    t_extract, t_cp, t_cp_file = best_times(args.runs, [
        (lambda: remove(extracted), [str(tool), "extract", "--quiet", "-C", str(extracted), str(big)]),
        (lambda: remove(copied), ["cp", "-r", str(extracted), str(copied)]),
        (lambda: copied_archive.unlink(missing_ok=True), ["cp", str(big), str(copied_archive)]),
    ])
    with open(os.devnull, "wb") as null:
        t_list, t_list_long = best_times(args.runs, [
            (lambda: None, [str(tool), "list", str(many)], null),
            (lambda: None, [str(tool), "list", "--long", str(many)], null),
        ])

    size = big.stat().st_size
    print(f"archive: {size / 2**20:.0f} MiB in {args.entries} entries; list archive: 100000 entries")
    print(f"extract        {t_extract:8.3f} s  ({size / 2**20 / t_extract:7.0f} MiB/s)")
    print(f"cp -r          {t_cp:8.3f} s  ({size / 2**20 / t_cp:7.0f} MiB/s)")
    print(f"cp archive     {t_cp_file:8.3f} s  ({size / 2**20 / t_cp_file:7.0f} MiB/s)  (one file, same bytes)")
    print(f"extract / cp -r          {t_extract / t_cp:6.2f}")
    print(f"extract / cp of archive  {t_extract / t_cp_file:6.2f}")
    print(f"list 100k      {t_list:8.3f} s")
    print(f"list -l 100k   {t_list_long:8.3f} s")
    remove(extracted)
    remove(copied)
    copied_archive.unlink(missing_ok=True)
    big.unlink()
    many.unlink()
    return 0


if __name__ == "__main__":
    sys.exit(main())
