#!/usr/bin/env python3
"""Writes a logger track memory: the bytes the logger sends for "$PQVD,IGC,n".

Without options it writes the committed sample (tools/qvdsim/data/sample-memory.txt):
a preamble line, then four flights, each opened by an A record ("AQVD..." or "AXQV...")
and its "HFDTE" date record:

  1. a 1 s flight from the Hochalm site (several thousand fixes: launch, thermals, glide,
     landing in the valley), with a "SendTrk" line at its end;
  2. a 5 s flight on another day whose body ends with the logger's own G record;
  3. an empty flight (its A line is directly followed by the next A line);
  4. a short 1 s flight, the last in memory.

--lines N writes as many flights as it takes to reach at least N lines (large memories
for benchmarks). Output is deterministic; every line ends with CR LF.
"""
import argparse
import math
import random
import sys

SITE_LAT, SITE_LON, SITE_ALT = 47.28215, 11.52740, 1652   # launch
LZ_LAT, LZ_LON, LZ_ALT = 47.29630, 11.50520, 598          # landing field in the valley

EARTH_M_PER_DEG_LAT = 111_195.0


def m_per_deg_lon(lat):
    return EARTH_M_PER_DEG_LAT * math.cos(math.radians(lat))


def igc_lat(lat):
    hemi = "N" if lat >= 0 else "S"
    lat = abs(lat)
    deg = int(lat)
    mmin = round((lat - deg) * 60_000)
    if mmin == 60_000:
        deg, mmin = deg + 1, 0
    return f"{deg:02d}{mmin:05d}{hemi}"


def igc_lon(lon):
    hemi = "E" if lon >= 0 else "W"
    lon = abs(lon)
    deg = int(lon)
    mmin = round((lon - deg) * 60_000)
    if mmin == 60_000:
        deg, mmin = deg + 1, 0
    return f"{deg:03d}{mmin:05d}{hemi}"


def b_record(t, lat, lon, p_alt, g_alt):
    h, rem = divmod(int(t) % 86400, 3600)
    m, s = divmod(rem, 60)
    return (f"B{h:02d}{m:02d}{s:02d}{igc_lat(lat)}{igc_lon(lon)}A"
            f"{max(0, round(p_alt)):05d}{max(0, round(g_alt)):05d}")


def fly(rng, start_s, interval, duration_s):
    """Fixes of one paraglider flight: ground handling at launch, thermals, glide, landing."""
    lat, lon, alt = SITE_LAT, SITE_LON, float(SITE_ALT)
    fixes = []
    t = start_s
    end = start_s + duration_s
    # Phases: a list of (kind, seconds); the last glide ends at the landing field.
    thermal_centre = None
    heading = rng.uniform(0, 2 * math.pi)
    phase, phase_left = "ground", 40
    landed_for = 0
    baro_offset = rng.uniform(-25, 25)
    while t < end:
        remaining = end - t
        if phase == "ground":
            speed, vario = 0.3, 0.0
        elif phase == "thermal":
            if thermal_centre is None:
                thermal_centre = (lat, lon)
                angle = 0.0
            angle += 2 * math.pi * interval / rng.uniform(22, 26)
            radius = 45 + 10 * math.sin(angle / 3)
            clat = thermal_centre[0] + (radius * math.sin(angle)) / EARTH_M_PER_DEG_LAT
            clon = thermal_centre[1] + (radius * math.cos(angle)) / m_per_deg_lon(lat)
            # drift of the thermal with the wind
            thermal_centre = (thermal_centre[0] + 0.4 * interval / EARTH_M_PER_DEG_LAT,
                              thermal_centre[1] + 0.9 * interval / m_per_deg_lon(lat))
            lat, lon = clat, clon
            # thermals weaken below cloud base (about 2900 m)
            vario = rng.gauss(1.8, 0.6) if alt < 2900 else rng.gauss(0.0, 0.3)
            speed = None
        elif phase == "glide":
            thermal_centre = None
            speed, vario = rng.gauss(10.5, 0.4), rng.gauss(-1.25, 0.2)
        else:  # final: towards the landing field, down to its height
            thermal_centre = None
            dy = (LZ_LAT - lat) * EARTH_M_PER_DEG_LAT
            dx = (LZ_LON - lon) * m_per_deg_lon(lat)
            dist = math.hypot(dx, dy)
            heading = math.atan2(dx, dy)
            height = alt - LZ_ALT
            # sink so that the height is used up over the time left or the distance
            time_left = max(remaining - 60, interval)
            vario = -max(0.8, min(3.5, height / max(time_left, 1)))
            speed = min(10.0, dist / interval) if dist > 3 else 0.0
            if height <= 1 and dist <= 20:
                phase = "landed"
        if phase == "landed":
            speed, vario = 0.0, 0.0
            alt = LZ_ALT
            landed_for += interval
        if speed is not None and phase != "thermal":
            heading += rng.gauss(0, 0.05)
            lat += speed * interval * math.cos(heading) / EARTH_M_PER_DEG_LAT
            lon += speed * interval * math.sin(heading) / m_per_deg_lon(lat)
        alt = max(LZ_ALT, alt + vario * interval)
        fixes.append(b_record(t, lat, lon, alt + baro_offset, alt))
        t += interval
        if phase in ("ground", "thermal", "glide"):
            phase_left -= interval
            if phase_left <= 0:
                if (alt - LZ_ALT) / 1.8 >= remaining - 120:
                    phase = "final"
                elif phase == "ground":
                    phase, phase_left = "glide", rng.uniform(20, 40)
                    heading = rng.uniform(0, 2 * math.pi)
                elif phase == "glide":
                    phase, phase_left = "thermal", rng.uniform(120, 300)
                else:
                    phase, phase_left = "glide", rng.uniform(60, 150)
                    heading = rng.uniform(0, 2 * math.pi)
        if phase == "glide" and alt < LZ_ALT + 400:
            phase = "final"
        if phase == "landed" and landed_for > 90:
            break
    return fixes


def header(a_prefix, serial, flight, date, pilot, glider, gid, cid, ccl, site):
    return [
        f"{a_prefix}{serial}FLIGHT:{flight}",
        f"HFDTE{date}",
        f"HFPLTPILOT:{pilot}",
        f"HFGTYGLIDERTYPE:{glider}",
        f"HFGIDGLIDERID:{gid}",
        "HFDTM100GPSDATUM:WGS-1984",
        f"HFCIDCOMPETITIONID:{cid}",
        f"HFCCLCOMPETITIONCLASS:{ccl}",
        f"HFSITSITE:{site}",
        "HFRFWFIRMWAREVERSION:1.14",
        "HFGPSQUENDARIX-12CH",
    ]


def logger_g_record(rng, lines):
    """The logger's own G record: hex lines derived from the flight (not a real signature)."""
    acc = 0
    for line in lines:
        for ch in line.encode("ascii"):
            acc = (acc * 131 + ch) % (1 << 64)
    rng2 = random.Random(acc)
    return ["G" + "".join(f"{rng2.randrange(256):02X}" for _ in range(32)) for _ in range(4)]


def sample(rng):
    lines = ["QUENDARIX TRACK MEMORY SERIAL 0471 FW 1.14"]
    # Flight 1: 1 s fixes, about 50 minutes.
    f1 = header("AQVD", "0471", 1, "120624", "Erika Musterfrau", "Skyfox Alto 3", "D-4711",
                "EM1", "Paraglider open", "Hochalm")
    f1 += fly(rng, 11 * 3600 + 2 * 60 + 5, 1, 3000)
    f1.append("LQVDSendTrk 0471 flight 1 done")
    lines += f1
    # Flight 2: 5 s fixes, with the logger's G record.
    f2 = header("AXQV", "0471", 2, "140624", "Erika Musterfrau", "Skyfox Alto 3", "D-4711",
                "EM1", "Paraglider open", "Hochalm")
    f2 += fly(rng, 13 * 3600 + 30 * 60, 5, 2700)
    f2 += logger_g_record(rng, f2)
    lines += f2
    # Flight 3: switched on and off again without a fix.
    lines.append("AQVD0471FLIGHT:3")
    # Flight 4: a short top-to-bottom glide.
    f4 = header("AQVD", "0471", 4, "150624", "Erika Musterfrau", "Skyfox Alto 3", "D-4711",
                "EM1", "Paraglider open", "Hochalm")
    f4 += fly(rng, 9 * 3600 + 45 * 60 + 30, 1, 600)
    lines += f4
    return lines


def large(rng, min_lines):
    lines = ["QUENDARIX TRACK MEMORY SERIAL 0471 FW 1.14"]
    day = 0
    while len(lines) < min_lines:
        day += 1
        d, m = 1 + day % 28, 1 + (day // 28) % 12
        lines += header("AQVD" if day % 2 else "AXQV", "0471", day, f"{d:02d}{m:02d}24",
                        "Erika Musterfrau", "Skyfox Alto 3", "D-4711", "EM1",
                        "Paraglider open", "Hochalm")
        lines += fly(rng, 10 * 3600 + (day % 20) * 60, 1, min(7200, 600 + 150 * (day % 40)))
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--lines", type=int, default=0,
                        help="write a large memory of at least this many lines")
    parser.add_argument("--out", default="-", help="output file (default: standard output)")
    parser.add_argument("--seed", type=int, default=471)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    lines = large(rng, args.lines) if args.lines > 0 else sample(rng)
    data = ("\r\n".join(lines) + "\r\n").encode("ascii")
    if args.out == "-":
        sys.stdout.buffer.write(data)
    else:
        with open(args.out, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
