#!/usr/bin/env python3
"""Times quendarix-cli for bench/REPORT.md: a full-size download from the simulator at
115200 bps, and `save --all` of every flight of that memory.

Writes key=value lines (the form of bench_download's output) to --out:
  lines, bytes, line_time_s, quiet_time_s, status_s, download_s, download_status, kept_bytes,
  flights, save_all_s, save_all_files, save_again_s
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

QUIET_S = 0.5184  # the collection ends after this much quiet on the line
PAUSE_S = 0.2  # the pause before the switch to the download speed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--qvdsim", required=True)
    parser.add_argument("--generator", required=True)
    parser.add_argument("--lines", type=int, default=33000)
    parser.add_argument("--out", required=True)
    parser.add_argument("--no-download", action="store_true")
    args = parser.parse_args()

    values = {}
    with tempfile.TemporaryDirectory() as root:
        env = dict(os.environ, XDG_CONFIG_HOME=f"{root}/config", XDG_DATA_HOME=f"{root}/data",
                   HOME=root, LANG="C.UTF-8")
        memory = f"{root}/memory.qvd"
        subprocess.run([sys.executable, args.generator, "--lines", str(args.lines),
                        "--out", memory], check=True)
        size = os.path.getsize(memory)
        with open(memory, "rb") as f:
            lines = f.read().count(b"\r\n")
        ini = f"{root}/config/QuendarixReader/QuendarixReader.ini"
        os.makedirs(os.path.dirname(ini))
        out = f"{root}/out"
        os.makedirs(out)
        with open(ini, "w") as f:
            f.write(f"[IGC]\nSITE=Benchalm\nCOMPID=BeCh\nPFAD={out}/\n")
        values.update(lines=lines, bytes=size, line_time_s=f"{size * 10 / 115200:.4f}",
                      quiet_time_s=QUIET_S, pause_s=PAUSE_S)

        source = memory
        if not args.no_download:
            sim = subprocess.Popen([args.qvdsim, "--memory", memory, "--settings", ini,
                                    "--com", "1"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   text=True, env=env)
            try:
                sim.stdout.readline()  # the device path: the simulator is registered
                base = [args.cli, "--config", ini, "--speed", "115200", "-q"]
                start = time.monotonic()
                status = subprocess.run(base + ["status"], env=env, capture_output=True)
                values["status_s"] = f"{time.monotonic() - start:.4f}"
                start = time.monotonic()
                run = subprocess.run(base + ["download"], env=env, capture_output=True)
                values["download_s"] = f"{time.monotonic() - start:.4f}"
                values["download_status"] = run.returncode
                values["status_status"] = status.returncode
                kept = sorted(os.listdir(f"{root}/data/QuendarixReader/downloads"))
                if kept:
                    source = f"{root}/data/QuendarixReader/downloads/{kept[-1]}"
                    values["kept_bytes"] = os.path.getsize(source)
                values["flights"] = max(run.stdout.count(b"\n") - 1, 0)
            finally:
                sim.stdin.close()
                sim.wait(timeout=10)

        save = [args.cli, "--config", ini, "save", "--all", "--from", source]
        start = time.monotonic()
        first = subprocess.run(save, env=env, capture_output=True)
        values["save_all_s"] = f"{time.monotonic() - start:.4f}"
        values["save_all_status"] = first.returncode
        values["save_all_files"] = len(os.listdir(out))
        start = time.monotonic()
        subprocess.run(save, env=env, capture_output=True)
        values["save_again_s"] = f"{time.monotonic() - start:.4f}"

    with open(args.out, "w") as f:
        for key, value in values.items():
            f.write(f"{key}={value}\n")


if __name__ == "__main__":
    main()
