#!/usr/bin/env python3
"""Turns the figure lines of the benchmark programs into one table and bench/results.json.

Each program prints lines "BENCH {json}"; this script pairs every figure with its baseline,
checks it against its goal, describes the machine and prints the table as Markdown.
"""
import argparse
import datetime
import json
import os
import platform
import subprocess
import sys


def read_figures(path):
    figures = {}
    with open(path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            line = line.strip()
            if line.startswith("BENCH "):
                figure = json.loads(line[len("BENCH "):])
                figures[figure.pop("figure")] = figure
    return figures


def read_runs(runs):
    """Each run is (program, file of its output, exit status). A program whose output ends
    with the figure "finished" has measured everything, even if the emulator then crashed
    the process on its way out."""
    figures, programs = {}, []
    for program, path, status in runs:
        own = read_figures(path)
        finished = own.pop("finished", None) is not None
        figures.update(own)
        programs.append({"program": program, "exit_status": int(status), "finished": finished})
    return figures, programs


def command_output(*command):
    try:
        done = subprocess.run(command, capture_output=True, text=True, timeout=60)
    except (OSError, subprocess.TimeoutExpired):
        return None
    return done.stdout.strip() if done.returncode == 0 else None


def qemu_runs_32_bit_code():
    """An enabled binfmt_misc entry for i386 ELF files hands every 32-bit program, Wine's
    loader included, to qemu's user-mode emulator, whether or not the kernel could run it."""
    try:
        with open("/proc/sys/fs/binfmt_misc/qemu-i386", encoding="utf-8") as entry:
            lines = entry.read().splitlines()
    except OSError:
        return False, None
    interpreter = next((l.split(None, 1)[1] for l in lines if l.startswith("interpreter ")), None)
    return bool(lines) and lines[0] == "enabled", interpreter


def machine(root_dir):
    model = None
    with open("/proc/cpuinfo", encoding="utf-8") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    emulated, interpreter = qemu_runs_32_bit_code()
    return {
        "cpu": model,
        "cores": os.cpu_count(),
        "kernel": platform.release(),
        # Wine lives in a root of its own, entered through the project's script.
        "wine": command_output(os.path.join(root_dir, "scripts", "wine-root"), "wine", "--version"),
        "emulated": emulated,
        "emulator": interpreter if emulated else None,
    }


def commit(root):
    head = command_output("git", "-C", root, "rev-parse", "HEAD")
    changes = command_output("git", "-C", root, "status", "--porcelain", "--untracked-files=no")
    return {"head": head, "uncommitted_changes": bool(changes)}


def row(name, measured, unit, baseline=None, goal=None, met=None):
    ratio = None
    if measured is not None and baseline:
        ratio = measured / baseline
    return {"figure": name, "measured": measured, "unit": unit, "baseline": baseline,
            "ratio": ratio, "goal": goal, "met": met}


def at_most(value, limit):
    return None if value is None or limit is None else value <= limit


def rows_from(figures):
    rows = []
    f = figures.get

    if "render" in figures:
        r = f("render")
        rows.append(row("Render, p50", r["ns_p50"], "ns", r["baseline_ns_p50"]))
        rows.append(row("Render, p99", r["ns_p99"], "ns", r["baseline_ns_p99"], "<= 2000 ns",
                        at_most(r["ns_p99"], 2000)))
    if "request" in figures:
        q = f("request")
        rows.append(row("a plug-in's version request to the main window, p50", q["ns_p50"], "ns",
                        q["baseline_ns_p50"]))
        rows.append(row("a plug-in's version request to the main window, p99", q["ns_p99"], "ns",
                        q["baseline_ns_p99"]))
    if "render_sections" in figures:
        s = f("render_sections")
        rows.append(row("  of which GetExitCodeThread, p50", s["get_exit_code_thread_ns_p50"], "ns"))
        rows.append(row("  of which clock(), p50", s["clock_ns_p50"], "ns"))

    if "conversion" in figures:
        c = f("conversion")
        rows.append(row("convert_audio_data per frame, p50", c["ns_p50"], "ns",
                        c["baseline_ns_p50"], "<= 2000 ns", at_most(c["ns_p50"], 2000)))
        rows.append(row("convert_audio_data per frame, p99", c["ns_p99"], "ns",
                        c["baseline_ns_p99"]))
    if "conversion_resample" in figures:
        r = f("conversion_resample")
        way = {1: "AVX2", 0: "SSE2"}.get(r.get("avx2"), "")
        rows.append(row("  of which resampling%s, p50" % (" (%s)" % way if way else ""),
                        r["ns_p50"], "ns"))
    if "conversion_resample_sse2" in figures:
        rows.append(row("  resampling the SSE2 way, as without AVX2, p50",
                        f("conversion_resample_sse2")["ns_p50"], "ns"))

    for delay in (10, 16, 33):
        p = f("pacing_%d" % delay)
        if p:
            mean = p["interval_ms_mean"]
            rows.append(row("pacing %d ms: mean interval" % delay, mean, "ms",
                            p["baseline_interval_ms_mean"], "within 2 %% of %d ms" % delay,
                            None if mean is None else abs(mean - delay) <= 0.02 * delay))
            rows.append(row("pacing %d ms: deviation from delay, p50" % delay,
                            p["deviation_ms_p50"], "ms", p["baseline_deviation_ms_p50"]))
            ideal_p99 = p["baseline_deviation_ms_p99"]
            limit = None if ideal_p99 is None else ideal_p99 + 0.5
            rows.append(row("pacing %d ms: deviation from delay, p99" % delay,
                            p["deviation_ms_p99"], "ms", ideal_p99, "<= baseline + 0.5 ms",
                            at_most(p["deviation_ms_p99"], limit)))
        latency = f("latency_%d" % delay)
        if latency:
            # The baseline is the loop's own floor for the same frames: from each frame's
            # staging to the time its render call was due.
            floor_p99 = latency["floor_ms_p99"]
            rows.append(row("staging to render, delay %d ms, p50" % delay, latency["ms_p50"], "ms",
                            latency["floor_ms_p50"]))
            rows.append(row("staging to render, delay %d ms, p99" % delay, latency["ms_p99"], "ms",
                            floor_p99, "<= baseline + 2 ms",
                            at_most(latency["ms_p99"], None if floor_p99 is None else floor_p99 + 2)))
            rows.append(row("  of which past the floor (render call after its due time), p50",
                            latency["remainder_ms_p50"], "ms"))
            rows.append(row("  of which past the floor (render call after its due time), p99",
                            latency["remainder_ms_p99"], "ms"))

    if "cpu" in figures:
        c = f("cpu")
        measured, ideal = c["ms_per_s"], c["baseline_ms_per_s"]
        valid = measured is not None and ideal is not None and measured >= 0 and ideal >= 0
        rows.append(row("CPU per second, delay %d ms" % c["delay_ms"], measured if valid else None,
                        "ms/s", ideal if valid else None, "<= 1.5 x baseline",
                        measured <= 1.5 * ideal if valid else None))
        loop = c.get("baseline_loop_thread_ms_per_s")
        for key, name, baseline in (
                ("render_thread_ms_per_s", "the render thread (baseline: the ideal loop's)", loop),
                ("main_window_thread_ms_per_s", "the main window's thread", None)):
            share = c.get(key)
            if share is not None and share >= 0:
                rows.append(row("  of which %s" % name, share, "ms/s",
                                baseline if baseline is not None and baseline >= 0 else None))
    if "render_sections" in figures:
        rows.append(row("  PeekMessageA as every render loop pass calls it, p50",
                        f("render_sections")["peek_message_ns_p50"], "ns"))
    if "start_stop" in figures:
        s = f("start_stop")
        start_limit = 50 + s["module_init_ms"]
        rows.append(row("start: Initialize to first render, delay %d ms" % s["delay_ms"],
                        s["start_ms"], "ms", None, "<= %.3g ms" % start_limit,
                        at_most(s["start_ms"], start_limit)))
        rows.append(row("  of which the Initialize call", s["initialize_call_ms"], "ms"))
        rows.append(row("  of which Initialize to the module's init", s["to_module_init_ms"], "ms"))
        rows.append(row("  of which the module's init to its first render",
                        s["init_to_first_render_ms"], "ms"))
        rows.append(row("stop: Finalize, delay %d ms" % s["delay_ms"], s["stop_ms"], "ms", None,
                        "<= %d ms" % (s["delay_ms"] + 20), at_most(s["stop_ms"], s["delay_ms"] + 20)))
        rows.append(row("  of which Finalize to the module's quit", s["to_module_quit_ms"], "ms"))
        rows.append(row("  of which the rest after the quit", s["after_module_quit_ms"], "ms"))

    if "timer" in figures:
        rows.append(row("timer floor: two QueryPerformanceCounter calls, p50",
                        f("timer")["ns_p50"], "ns"))
    return rows


def number(value):
    if abs(value) >= 100:
        return "%.0f" % value
    return "%.3g" % value


def with_unit(value, unit):
    return "-" if value is None else number(value) + " " + unit


def table(rows, about):
    lines = [about, "",
             "| figure | measured | baseline | ratio | goal | met |",
             "|---|---|---|---|---|---|"]
    for r in rows:
        met = {True: "yes", False: "no", None: "-"}[r["met"]]
        lines.append("| %s | %s | %s | %s | %s | %s |" % (
            r["figure"], with_unit(r["measured"], r["unit"]), with_unit(r["baseline"], r["unit"]),
            "-" if r["ratio"] is None else "%.2f" % r["ratio"], r["goal"] or "-", met))
    return "\n".join(lines)


def describe(run):
    m = run["machine"]
    where = ("EMULATED: 32-bit code ran under qemu user-mode emulation (%s); these timings "
             "say little about real hardware" % m["emulator"]) if m["emulated"] else "native 32-bit"
    return "%s, commit %s%s. %s, %s cores, Linux %s, %s. %s." % (
        run["date"], (run["commit"]["head"] or "?")[:12],
        " with uncommitted changes" if run["commit"]["uncommitted_changes"] else "",
        m["cpu"], m["cores"], m["kernel"], m["wine"], where)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", required=True, help="the repository")
    parser.add_argument("--output", required=True, help="where results.json goes")
    parser.add_argument("--run", nargs=3, action="append", required=True,
                        metavar=("PROGRAM", "OUTPUT", "EXIT_STATUS"),
                        help="one benchmark program's run")
    args = parser.parse_args()

    figures, programs = read_runs(args.run)
    unfinished = [p["program"] for p in programs if not p["finished"]]
    rows = rows_from(figures)
    run = {
        "date": datetime.datetime.now(datetime.timezone.utc).isoformat(timespec="seconds"),
        "commit": commit(args.root),
        "machine": machine(args.root),
        "programs": programs,
        "goals_met": sum(1 for r in rows if r["met"] is True),
        "goals": sum(1 for r in rows if r["goal"]),
        "rows": rows,
        "figures": figures,
    }
    run["table"] = table(rows, describe(run)) + "".join(
        "\n\n%s exited with status %d after its last figure." % (p["program"], p["exit_status"])
        for p in programs if p["finished"] and p["exit_status"] != 0)
    with open(args.output, "w", encoding="utf-8") as out:
        json.dump(run, out, indent=2)
        out.write("\n")
    print(run["table"])
    print()
    print("%d of %d goals met%s; written to %s" % (
        run["goals_met"], run["goals"],
        "; did not finish: " + ", ".join(unfinished) if unfinished else "", args.output))
    return 1 if unfinished else 0


if __name__ == "__main__":
    sys.exit(main())
