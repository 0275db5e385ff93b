"""Medians from hyperfine JSON exports, merged by command across the files
given (one file a round when the rounds interleave the commands), with each
command's ratio to the first one whose name starts with velnor-cli (else the first).
CPU is user + system time, a median over the files (a mean within each)."""
import json
import statistics
import sys

times, cpu, order = {}, {}, []
for path in sys.argv[1:]:
    for r in json.load(open(path))["results"]:
        name = r["command"]
        if name not in times:
            order.append(name)
            times[name], cpu[name] = [], []
        times[name] += r["times"]
        cpu[name].append(r["user"] + r["system"])
ref = next((n for n in order if n.startswith("velnor-cli")), order[0])
first = statistics.median(times[ref])
print(f"| command | median [s] | min [s] | max [s] | runs | CPU median [s] | median / {ref} |")
print("|---|---:|---:|---:|---:|---:|---:|")
for name in order:
    t = times[name]
    print(f"| {name} | {statistics.median(t):.3f} | {min(t):.3f} | {max(t):.3f} | {len(t)} "
          f"| {statistics.median(cpu[name]):.3f} | {statistics.median(t) / first:.2f} |")
