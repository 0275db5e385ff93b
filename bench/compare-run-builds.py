"""velnor-cli run over a fresh copy of the corpus's real pages, two builds
taking turns (the order swapped every round), so that a change in the
machine's load hits both alike. Prints each build's wall-clock median, the
median of the per-round ratios, the CPU (user + system) and peak memory
(resident) medians.

    python3 bench/compare-run-builds.py ROUNDS OLD_CLI NEW_CLI [RUN OPTIONS]

RUN OPTIONS default to --no-backup; --yes is always given. TREE names another
tree to copy (default /tmp/velnor-corpus/real), e.g. one made by
make-many-pages.py.
"""
import os, shutil, statistics, subprocess, sys, tempfile, time

rounds, old, new = int(sys.argv[1]), sys.argv[2], sys.argv[3]
extra = sys.argv[4:] or ["--no-backup"]
corpus = os.environ.get("TREE", "/tmp/velnor-corpus/real")
work = tempfile.mkdtemp()
times = {old: [], new: []}
cpu = {old: [], new: []}
peak = {old: [], new: []}
try:
    for r in range(rounds):
        for cli in ((old, new) if r % 2 == 0 else (new, old)):
            tree = os.path.join(work, "tree")
            shutil.rmtree(tree, ignore_errors=True)
            shutil.copytree(corpus, tree, symlinks=True)
            os.sync()
            start = time.perf_counter()
            child = subprocess.Popen([cli, "run", *extra, "--yes", tree], stdout=subprocess.DEVNULL)
            _, status, usage = os.wait4(child.pid, 0)
            times[cli].append(time.perf_counter() - start)
            cpu[cli].append(usage.ru_utime + usage.ru_stime)
            peak[cli].append(usage.ru_maxrss / 1024)
            assert status == 0
            shutil.rmtree(tree + ".bak", ignore_errors=True)
finally:
    shutil.rmtree(work, ignore_errors=True)
a, b = statistics.median(times[old]), statistics.median(times[new])
print(f"previous commit: median {a:.3f} s  ({' '.join(f'{t:.2f}' for t in times[old])})")
print(f"this branch:     median {b:.3f} s  ({' '.join(f'{t:.2f}' for t in times[new])})")
print(f"ratio {b / a:.3f}")
pairs = sorted(n / o for o, n in zip(times[old], times[new]))
print(f"per-round ratios (this branch / previous): median {statistics.median(pairs):.3f}, "
      f"middle half {pairs[len(pairs) // 4]:.3f}-{pairs[3 * len(pairs) // 4]:.3f}")
ca, cb = statistics.median(cpu[old]), statistics.median(cpu[new])
print(f"CPU (user+system) medians: previous {ca:.3f} s, this branch {cb:.3f} s, ratio {cb / ca:.3f}")
pa, pb = statistics.median(peak[old]), statistics.median(peak[new])
print(f"peak memory medians: previous {pa:.1f} MB, this branch {pb:.1f} MB")
