"""Medians from a hyperfine JSON export, with each command's ratio to the first."""
import json
import sys

results = json.load(open(sys.argv[1]))["results"]
first = results[0]["median"]
print(f"| command | median [s] | min [s] | max [s] | runs | median / {results[0]['command']} |")
print("|---|---:|---:|---:|---:|---:|")
for r in results:
    print(f"| {r['command']} | {r['median']:.3f} | {r['min']:.3f} | {r['max']:.3f} "
          f"| {len(r['times'])} | {r['median'] / first:.2f} |")
