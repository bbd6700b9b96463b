#!/usr/bin/env python3
"""Runs the engine benchmarks and prints the figures of docs/performance.md.

    bench/report.py BUILD_FOLDER [REPETITIONS]

BUILD_FOLDER is a native build configured with -DKAVREL_BENCH=ON (kavrel_bench built).
Times are CPU times (the busy machines we measure on also run other work); each figure is
the median of the repetitions.
"""
import json
import statistics
import subprocess
import sys


def run(bench, pattern, repetitions, min_time="0.5"):
    out = subprocess.run(
        [bench, f"--benchmark_filter={pattern}", f"--benchmark_repetitions={repetitions}",
         f"--benchmark_min_time={min_time}", "--benchmark_format=json"],
        check=True, capture_output=True, text=True).stdout
    results = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("run_type") == "aggregate":
            continue
        results.setdefault(b["run_name"], []).append(b)
    return results


def median(runs, key):
    return statistics.median(r[key] for r in runs)


def main():
    folder = sys.argv[1]
    repetitions = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    bench = f"{folder}/bin/kavrel_bench"

    engine = run(bench, "BM_BusiestPattern|BM_StoppedPlugin", repetitions)
    for name in ("BM_BusiestPattern", "BM_StoppedPlugin"):
        runs = engine[name]
        print(f"{name}: {median(runs, 'cpu_time'):.1f} us per 512-sample block, "
              f"real-time factor {median(runs, 'realtime_x'):.1f}")

    programs = run(bench, "BM_FactoryProgram", 1, "0.3")
    factors = sorted((runs[0]["realtime_x"], runs[0].get("label", name))
                     for name, runs in programs.items())
    print(f"factory programs ({len(factors)}): median real-time factor "
          f"{statistics.median(f for f, _ in factors):.1f}, worst {factors[0][0]:.1f} "
          f"({factors[0][1].strip()}), best {factors[-1][0]:.1f}")

    voices = run(bench, "BM_VoiceSounding|BM_VoiceKitSounding", repetitions)
    for name, runs in sorted(voices.items()):
        print(f"{name}: {median(runs, 'per_sample') * 1e9:.1f} ns per sample")

    setup = run(bench, "BM_ConstructInstance|BM_BankGetChunk|BM_BankSetChunk", repetitions)
    for name, runs in sorted(setup.items()):
        print(f"{name}: {median(runs, 'cpu_time'):.2f} ms")

    memory = run(bench, "BM_ResidentMemoryPerInstance", 1)
    for name, runs in memory.items():
        print(f"resident memory per instance: {runs[0]['rss_kb_per_instance'] / 1024:.1f} MiB")


if __name__ == "__main__":
    main()
