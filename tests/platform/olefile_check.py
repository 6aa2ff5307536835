#!/usr/bin/env python3
"""Reads a compound file with olefile, an independent reader, and compares it
with what the C++ test expects.

  olefile_check.py streams FILE MANIFEST.json
      MANIFEST: {"streams": {"Storage/Name": "path of a file with the bytes"},
                 "storages": ["Storage", ...]}
  olefile_check.py summary FILE EXPECTED.json
      EXPECTED: {"title": "...", "author": "...", "revision_number": "...",
                 "create_time": "YYYY-MM-DD HH:MM:SS", "last_saved_time": ...,
                 "codepage": 1252, ...}; every key is an olefile metadata field.
Prints OK and exits 0 when everything matches; prints the differences and exits 1 otherwise.
"""
import json
import sys

import olefile


def check_streams(path, manifest_path):
    with open(manifest_path, encoding="utf-8") as f:
        manifest = json.load(f)
    problems = []
    ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
    streams = {"/".join(p) for p in ole.listdir(streams=True, storages=False)}
    storages = {"/".join(p) for p in ole.listdir(streams=False, storages=True)}
    want_streams = set(manifest["streams"])
    want_storages = set(manifest.get("storages", []))
    if streams != want_streams:
        problems.append("streams differ: missing %r, extra %r"
                        % (sorted(want_streams - streams)[:5], sorted(streams - want_streams)[:5]))
    if storages != want_storages:
        problems.append("storages differ: missing %r, extra %r"
                        % (sorted(want_storages - storages)[:5], sorted(storages - want_storages)[:5]))
    for name, data_path in manifest["streams"].items():
        if name not in streams:
            continue
        with open(data_path, "rb") as f:
            want = f.read()
        got = ole.openstream(name.split("/")).read()
        if got != want:
            problems.append("bytes of %r differ (%d read, %d expected)" % (name, len(got), len(want)))
        if ole.get_size(name.split("/")) != len(want):
            problems.append("size of %r differs" % name)
    ole.close()
    return problems


def check_summary(path, expected_path):
    with open(expected_path, encoding="utf-8") as f:
        expected = json.load(f)
    ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
    if not ole.exists("\x05SummaryInformation"):
        return ["no summary information stream"]
    meta = ole.get_metadata()
    problems = []
    for key, want in expected.items():
        got = getattr(meta, key)
        if isinstance(got, bytes):
            got = got.decode("cp1252")
        elif hasattr(got, "strftime"):
            got = got.strftime("%Y-%m-%d %H:%M:%S")
        if got != want:
            problems.append("%s: read %r, expected %r" % (key, got, want))
    ole.close()
    return problems


def main():
    mode, path, expected = sys.argv[1:4]
    problems = check_streams(path, expected) if mode == "streams" else check_summary(path, expected)
    if problems:
        print("\n".join(problems))
        return 1
    print("OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
