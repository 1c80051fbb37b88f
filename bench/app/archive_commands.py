#!/usr/bin/env python3
"""Times the windowed program's archive commands on synthetic archives.

  1. Extract All of a large archive (>= 500 MB, thousands of entries) against
     `kestrel-big extract` of the same archive: the windowed program should not be much slower.
  2. Add Directory of 10,000 files into a 100,000-entry archive (target: seconds), and for
     comparison `kestrel-big add --in-place` of the same folder into a copy of the archive.

Builds build/release (Release) unless --build is given; run it under `nice`. Timings are the
best of --runs rounds after a warm-up round, the programs taking turns, each after a sync (the
helpers of bench/tools/extract_vs_cp.py), so they compare the programs rather than the disk.

  python3 bench/app/archive_commands.py [--build DIR] [--work DIR] [--runs N] [--megabytes MB]
"""

import argparse
import shutil
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
# The command-line tool's benchmark has the timing helpers; both compare like with like.
sys.path.insert(0, str(ROOT / "bench" / "tools"))
from extract_vs_cp import best_times, remove, run  # noqa: E402


def make_mod_folder(folder, count):
    remove(folder)
    for i in range(count):
        path = folder / f"ini{i // 500:02d}" / f"object{i:05d}.ini"
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(f"Object Mod{i}\r\n  Health = {i}\r\nEnd\r\n".encode() * 4)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", type=Path, default=None, help="a build folder with the programs (skips building)")
    parser.add_argument("--work", type=Path, default=ROOT / "build" / "bench-app", help="scratch folder")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--megabytes", type=int, default=600)
    parser.add_argument("--entries", type=int, default=5000)
    args = parser.parse_args()
    build = args.build or ROOT / "build" / "release"
    if args.build is None:
        configure = ["-DCMAKE_BUILD_TYPE=Release", "-DKESTREL_BUILD_BENCH=ON", "-DKESTREL_BUILD_TESTS=OFF"]
        run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja"] + configure, stdout=subprocess.DEVNULL)
        targets = ["kestrel-big", "make_synthetic_big", "bench_archive_commands"]
        run(["cmake", "--build", str(build), "-j2", "--target"] + targets)
    tool = str(build / "bin" / "kestrel-big")
    generator = str(build / "bin" / "make_synthetic_big")
    bench = str(build / "bin" / "bench_archive_commands")

    work = args.work
    work.mkdir(parents=True, exist_ok=True)
    big = work / "large.big"
    many = work / "many.big"
    run([generator, str(big), str(args.entries), str(args.megabytes * 1024 * 1024)])
    run([generator, str(many), "100000", str(100000 * 200)])
    mod = work / "mod" / "data"
    make_mod_folder(mod, 10000)

    out_app = work / "out-app"
    out_tool = work / "out-tool"
    copy = work / "many-copy.big"
    print(subprocess.run([bench, "add-directory", str(many), str(mod)], check=True, capture_output=True, text=True).stdout,
          end="")
    quiet = subprocess.DEVNULL
    t_app, t_tool, t_add, t_tool_add = best_times(args.runs, [
        (lambda: remove(out_app), [bench, "extract-all", str(big), str(out_app)], quiet),
        (lambda: remove(out_tool), [tool, "extract", "--quiet", "-C", str(out_tool), str(big)], quiet),
        (lambda: None, [bench, "add-directory", str(many), str(mod)], quiet),
        (lambda: shutil.copyfile(many, copy), [tool, "add", "--in-place", "--quiet", str(copy), str(mod)], quiet),
    ])

    size = big.stat().st_size
    print(f"archive: {size / 2**20:.0f} MiB in {args.entries} entries; add: 10000 files into 100000 entries")
    print(f"Extract All (windowed program)   {t_app:8.3f} s  ({size / 2**20 / t_app:6.0f} MiB/s)")
    print(f"kestrel-big extract              {t_tool:8.3f} s  ({size / 2**20 / t_tool:6.0f} MiB/s)")
    print(f"windowed / tool                  {t_app / t_tool:8.2f}")
    print(f"Add Directory (incl. open)       {t_add:8.3f} s")
    print(f"kestrel-big add --in-place       {t_tool_add:8.3f} s  (open, add, quick save)")
    for path in (out_app, out_tool, work / "mod"):
        remove(path)
    for path in (big, many, copy):
        path.unlink(missing_ok=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
