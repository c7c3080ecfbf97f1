#!/usr/bin/env python3
"""Washes every sample torrent with kelpmere-cli and reads the results with other clients'
readers: libtorrent, transmission-show and aria2c. A washed torrent must load wherever its
original does and describe the same data (piece length, piece hashes, file sizes and order, pad
files) under a new info hash and none of the original names; a sample that libtorrent refuses
must be refused by the washer too. A scene release made here is washed, its data laid out under
the washed names and re-checked by a libtorrent session without network.

usage: check-washed-torrents.py KELPMERE-CLI SAMPLES-FOLDER
Exit status: 0 all good, 1 some check failed, 2 usage error, 77 a reader is missing (skipped).
"""
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

try:
    import libtorrent as lt
except ImportError:
    lt = None

SKIPPED = 77
PAD_PREFIX = "_____padding_file_"
MIN_NAME_BYTES = 4  # shorter names ("CD1", "x") may well recur by chance
RECHECK_SECONDS = 60
# The scene release made for the data re-check: (path below the release folder, size in bytes).
SCENE_FOLDER = "Show.S01.1080p"
SCENE_FILES = [("Show.S01E01.mkv", 150_000), ("Sample/sample.mkv", 40_000), ("README", 1_234), ("show.nfo", 0)]


def load(path):
    """The torrent as libtorrent reads it, or None and libtorrent's reason."""
    try:
        return lt.torrent_info(str(path)), None
    except RuntimeError as error:
        return None, str(error)


# What the comparison reads from a torrent; None where it doesn't apply to the torrent.
def is_pad(files, i):
    return bool(files.file_flags(i) & lt.file_storage.flag_pad_file) or files.file_name(i).startswith(PAD_PREFIX)

def info_hashes(t):
    ih = t.info_hashes()
    return [str(h) for has, h in ((ih.has_v1(), ih.v1), (ih.has_v2(), ih.v2)) if has]

def piece_hashes(t):
    return [t.hash_for_piece(i).hex() for i in range(t.num_pieces())] if t.info_hashes().has_v1() else None

def sizes_and_roots(t):
    # A v2-only torrent lists its files by name, so new names may reorder them: compared as a
    # multiset, without the alignment files libtorrent adds in that order.
    fs, v1, v2 = t.files(), t.info_hashes().has_v1(), t.info_hashes().has_v2()
    entries = [(fs.file_size(i), str(fs.root(i))) if v2 else fs.file_size(i)
               for i in range(fs.num_files()) if v1 or not is_pad(fs, i)]
    return entries if v1 else sorted(entries)

def pad_count(t):
    fs = t.files()
    count = sum(1 for i in range(fs.num_files()) if fs.file_flags(i) & lt.file_storage.flag_pad_file)
    return count if t.info_hashes().has_v1() else None  # v2-only: libtorrent's own, as above

def pad_paths(t):
    """Index and path of each padding file as written in the info dict ("attr" "p" or the name)."""
    files = lt.bdecode(t.info_section()).get(b"files", [])
    return [(i, f[b"path"]) for i, f in enumerate(files)
            if b"p" in f.get(b"attr", b"") or (f[b"path"] or [b""])[-1].startswith(PAD_PREFIX.encode())]

def names(t):
    fs = t.files()
    return {t.name()}.union(*(fs.file_path(i).split(os.sep) for i in range(fs.num_files()) if not is_pad(fs, i)))


# How an original's value and its washed twin's must relate: None when they do, else the fault.
def same(old, new):
    if old == new:
        return None
    if isinstance(old, list) and isinstance(new, list):
        at = next((i for i, (a, b) in enumerate(zip(old, new)) if a != b), min(len(old), len(new)))
        return f"first difference at #{at} (of {len(old)} vs {len(new)}): {old[at:at + 1]} vs {new[at:at + 1]}"
    return f"original {old!r}, washed {new!r}"

def all_differ(old, new):
    kept = [h for h in old if h in new]
    return f"unchanged {kept}" if kept else None

def none_kept(old, new):
    kept = sorted(n for n in old & new if len(n.encode()) >= MIN_NAME_BYTES)
    return f"original names survive: {kept}" if kept else None


CHECKS = [
    ("hash versions (v1, v2)", lambda t: (t.info_hashes().has_v1(), t.info_hashes().has_v2()), same),
    ("piece length", lambda t: t.piece_length(), same),
    ("number of pieces", lambda t: t.num_pieces(), same),
    ("v1 piece hashes", piece_hashes, same),
    ("file sizes and root hashes", sizes_and_roots, same),
    ("number of pad files", pad_count, same),
    ("padding files' paths", pad_paths, same),
    ("info hash", info_hashes, all_differ),
    ("names", names, none_kept),
]

# A reader that reads an original must read its washed twin: exit 0 and print the info hash
# libtorrent computes (aria2c -S exits 0 even on a torrent it refuses). Not every reader reads
# every original: Transmission 3 and aria2 know no v2 torrents.
READERS = [["transmission-show"], ["aria2c", "-S"]]


def reader_fault(command, path, torrent):
    """None when COMMAND reads PATH and prints its info hash, else what went wrong."""
    ih = torrent.info_hashes()
    wanted = str(ih.v1 if ih.has_v1() else ih.v2)
    run = subprocess.run(command + [str(path)], capture_output=True, text=True, errors="replace", timeout=60)
    if run.returncode == 0 and wanted in run.stdout.lower():
        return None
    said = [line for line in (run.stderr + run.stdout).splitlines() if line.strip()][-1:]
    return f"exit {run.returncode}, no info hash {wanted} in its output, last line {said}"

def reader_faults(name, source, original, output, washed):
    faults = []
    for command in READERS:
        if fault := reader_fault(command, source, original):
            print(f"note: {name}: {command[0]} doesn't read the original ({fault}), "
                  "so it isn't asked to read the washed one")
        elif fault := reader_fault(command, output, washed):
            faults.append(f"{command[0]} doesn't read the washed torrent: {fault}")
    return faults


def wash(cli, source, dest):
    """Runs the washer; its JSON lines by source path relative to SOURCE."""
    run = subprocess.run([str(cli), "wash", "--json", str(source), str(dest)],
                         capture_output=True, text=True, errors="replace", timeout=300)
    if run.returncode not in (0, 1):  # 1: some torrent refused, which some samples expect
        sys.exit(f"FAIL: kelpmere-cli wash {source} exits {run.returncode}: {run.stderr.strip()}")
    records = [json.loads(line) for line in run.stdout.splitlines() if line.startswith("{")]
    return {os.path.relpath(r["source"], source): r for r in records}

def check_washed(name, source, output, record):
    """Faults of one original and its washed twin, each naming the torrent."""
    original, why = load(source)
    if original is None:
        return [f"{name}: libtorrent refuses it ({why}) but the washer wrote {output}"] if output.exists() else []
    if not output.exists():
        return [f"{name}: not washed, no {output} (washer: {record.get('state') if record else 'no JSON line'})"]
    washed, why = load(output)
    if washed is None:
        return [f"{name}: libtorrent refuses the washed torrent: {why}"]
    faults = reader_faults(name, source, original, output, washed)
    faults += [f"{label}: {fault}" for label, read, relation in CHECKS
               if (fault := relation(read(original), read(washed)))]
    return [f"{name}: {fault}" for fault in faults]

def check_samples(cli, samples, dest):
    records = wash(cli, samples, dest)
    sources = sorted(samples.rglob("*.torrent"))
    faults = [] if sources else [f"no *.torrent below {samples}"]
    for source in sources:
        rel = source.relative_to(samples)
        faults += check_washed(str(rel), source, dest / rel, records.get(str(rel)))
    print(f"{len(sources)} samples washed and compared")
    return faults


def make_scene_release(data, torrent):
    """Data files with fixed content below DATA and a v1 torrent of them with pad files."""
    for rel, size in SCENE_FILES:
        path = data / SCENE_FOLDER / rel
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(random.Random(rel).randbytes(size))
    files = lt.file_storage()
    lt.add_files(files, str(data / SCENE_FOLDER))
    # canonical_files aligns every file to a piece with pad files, as v2-aware creators do.
    creator = lt.create_torrent(files, 16 * 1024, flags=lt.create_torrent.v1_only | lt.create_torrent.canonical_files)
    creator.add_tracker("http://127.0.0.1:9/announce")
    creator.set_comment(f"{SCENE_FOLDER} by Group")
    lt.set_piece_hashes(creator, str(data))
    torrent.parent.mkdir(parents=True)
    torrent.write_bytes(lt.bencode(creator.generate()))

def lay_out_under_washed_names(original, washed, data, save_path):
    old, new = original.files(), washed.files()
    for i in range(min(old.num_files(), new.num_files())):
        # Padding has no file on disk; a pad file the washer lost leaves its pieces failing.
        if not (old.file_flags(i) | new.file_flags(i)) & lt.file_storage.flag_pad_file:
            target = save_path / new.file_path(i)
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(data / old.file_path(i), target)

def recheck_fault(torrent, save_path):
    """None when a libtorrent session without network finds every piece of TORRENT below SAVE_PATH."""
    alerts = lt.alert.category_t.status_notification | lt.alert.category_t.error_notification
    session = lt.session({"listen_interfaces": "127.0.0.1:0", "enable_dht": False, "enable_lsd": False,
                          "enable_upnp": False, "enable_natpmp": False, "alert_mask": alerts})
    info = lt.torrent_info(str(torrent))
    handle = session.add_torrent({"ti": info, "save_path": str(save_path)})
    deadline = time.monotonic() + RECHECK_SECONDS
    while not any(isinstance(a, lt.torrent_checked_alert) for a in session.pop_alerts()):
        if time.monotonic() > deadline:
            return f"libtorrent's check did not end within {RECHECK_SECONDS} s ({handle.status().state})"
        session.wait_for_alert(200)
    status = handle.status()
    if status.num_pieces != info.num_pieces():
        return f"data re-check under the washed names: {status.num_pieces} of {info.num_pieces()} pieces pass"
    return None

def check_data_recheck(cli, work):
    data, made, washed_dir = work / "data", work / "made", work / "made-washed"
    torrent = made / f"{SCENE_FOLDER}.torrent"
    make_scene_release(data, torrent)
    name, output = f"made {torrent.name}", washed_dir / torrent.name
    faults = check_washed(name, torrent, output, wash(cli, made, washed_dir).get(torrent.name))
    washed, _ = load(output) if output.exists() else (None, None)
    if washed is None:
        return faults + [f"{name}: data re-check not run, no washed torrent that libtorrent loads"]
    lay_out_under_washed_names(lt.torrent_info(str(torrent)), washed, data, work / "relaid")
    fault = recheck_fault(output, work / "relaid")
    if not fault:
        print(f"{name}: every piece passes libtorrent's check of the data under the washed names")
    return faults + ([f"{name}: {fault}"] if fault else [])


def main(argv):
    if len(argv) != 3:
        print("usage: check-washed-torrents.py KELPMERE-CLI SAMPLES-FOLDER", file=sys.stderr)
        return 2
    cli, samples = Path(argv[1]).resolve(), Path(argv[2]).resolve()
    missing = [] if lt else ["python3-libtorrent"]
    missing += [tool for tool in ("transmission-show", "aria2c") if not shutil.which(tool)]
    if missing:
        print(f"skipped: missing {', '.join(missing)} (scripts/install-deps installs them)")
        return SKIPPED
    with tempfile.TemporaryDirectory(prefix="kelpmere-outside-tools-") as work:
        faults = check_samples(cli, samples, Path(work) / "washed") + check_data_recheck(cli, Path(work))
    for fault in faults:
        print(f"FAIL {fault}")
    print(f"{len(faults)} faults" if faults else "all washed torrents agree with their originals")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
