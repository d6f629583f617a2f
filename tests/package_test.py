#!/usr/bin/env python3
# Packs the release as scripts/package does, into a temporary folder, and checks what a Windows user gets: the
# zip to unpack and the setup. Arguments: WIN32_BUILD WIN64_BUILD
import configparser, os, subprocess, sys, tempfile, zipfile

win32, win64 = sys.argv[1:3]
scr = {"32-bit": open(os.path.join(win32, "lumaro.scr"), "rb").read(), "64-bit": open(os.path.join(win64, "lumaro.scr"), "rb").read()}
exe = scr["64-bit"]
ms, ls = (int.from_bytes(exe[exe.find(b"\xbd\x04\xef\xfe") + o:][:4], "little") for o in (8, 12))  # VS_FIXEDFILEINFO
version = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def machine(pe):
    return int.from_bytes(pe[int.from_bytes(pe[0x3C:0x40], "little") + 4:][:2], "little") if len(pe) > 0x40 else 0


with tempfile.TemporaryDirectory() as out:
    pack = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "dist", "pack.py")
    subprocess.run([sys.executable, pack, out, win32, win64], check=True, stdout=subprocess.DEVNULL)
    made = sorted(os.listdir(out))
    setup = open(os.path.join(out, made[0]), "rb").read() if made else b""
    with zipfile.ZipFile(os.path.join(out, made[-1])) as z:
        files = {n: z.read(n) for n in z.namelist() if not n.endswith("/")}
collection = configparser.ConfigParser(interpolation=None)
collection.read_string(files.get("samples/COLLECTION.INI", b"[Pictures]").decode("latin-1"))
pictures = ["samples/" + p for p in collection["Pictures"].values()]
readme = files.get("README.txt", b"")

failures = [what for ok, what in [
    (made == ["lumaro-%s-setup.exe" % version, "lumaro-%s.zip" % version], "named after lumaro.scr's version %s: %s" % (version, made)),
    (pictures and sorted(files) == sorted(["32-bit/lumaro.scr", "64-bit/lumaro.scr", "README.txt", "samples/COLLECTION.INI"] + pictures),
     "both savers, the read-me and the pictures COLLECTION.INI names, nothing else: %s" % sorted(files)),
    (files.get("32-bit/lumaro.scr") == scr["32-bit"] and machine(scr["32-bit"]) == 0x14C, "32-bit/lumaro.scr is the i686 build"),
    (files.get("64-bit/lumaro.scr") == scr["64-bit"] and machine(scr["64-bit"]) == 0x8664, "64-bit/lumaro.scr is the x86-64 build"),
    (files.get("samples/COLLECTION.INI") == open(os.path.join(win64, "samples", "SAMPLES.INI"), "rb").read(), "the samples' COLLECTION.INI"),
    (readme.count(b"\n") > 10 and readme.count(b"\n") == readme.count(b"\r\n"), "README.txt has CRLF lines"),
    (machine(setup) == 0x14C and scr["32-bit"] and len(setup) < len(scr["32-bit"]) + len(scr["64-bit"]) + 2**20,
     "the setup runs on every Windows (i386) and holds both savers compressed: %d bytes" % len(setup)),
] if not ok]
for what in failures:
    print("FAILED:", what)
sys.exit(1 if failures else 0)
