#!/usr/bin/env python3
# Packs the release zip as scripts/package does, into a temporary folder, and
# checks what a Windows user unpacks from it. Arguments: CPACK BUILD_DIR LUMARO_SCR
import configparser, os, struct, subprocess, sys, tempfile, zipfile

cpack, build, scr = sys.argv[1:4]
exe = open(scr, "rb").read()
ms, ls = struct.unpack_from("<II", exe, exe.find(b"\xbd\x04\xef\xfe") + 8)  # VS_FIXEDFILEINFO's versions
version = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
with tempfile.TemporaryDirectory() as out:
    subprocess.run([cpack, "-B", out], cwd=build, check=True, stdout=subprocess.DEVNULL)
    zips = [f for f in os.listdir(out) if f.endswith(".zip")]
    with zipfile.ZipFile(os.path.join(out, zips[0])) as z:
        files = {n: z.read(n) for n in z.namelist() if not n.endswith("/")}
collection = configparser.ConfigParser(interpolation=None)
collection.read_string(files.get("samples/COLLECTION.INI", b"[Pictures]").decode("latin-1"))
pictures = ["samples/" + p for p in collection["Pictures"].values()]
readme = files.get("README.txt", b"")
samples_ini = open(os.path.join(build, "samples", "SAMPLES.INI"), "rb").read()

failures = [what for ok, what in [
    (zips == ["lumaro-%d.%d.%d.%d-win32.zip" % version], "zip named after lumaro.scr's version %s: %s" % (version, zips)),
    (exe.count(", ".join(map(str, version)).encode("utf-16-le")) == 2, "FileVersion and ProductVersion read %s" % (version,)),
    (pictures and sorted(files) == sorted(["lumaro.scr", "README.txt", "samples/COLLECTION.INI"] + pictures),
     "the saver, the read-me and the pictures COLLECTION.INI names, nothing else: %s" % sorted(files)),
    (files.get("lumaro.scr") == exe, "lumaro.scr is the one built"),
    (files.get("samples/COLLECTION.INI") == samples_ini, "COLLECTION.INI is the samples' SAMPLES.INI"),
    (readme.count(b"\n") > 10 and readme.count(b"\n") == readme.count(b"\r\n"), "README.txt has CRLF lines"),
] if not ok]
for what in failures:
    print("FAILED:", what)
sys.exit(1 if failures else 0)
