#!/usr/bin/env python3
# Packs a release from the two builds: lumaro-<version>.zip, which people
# unpack and use where it lies, and lumaro-<version>-setup.exe, made by NSIS,
# which installs the build that matches the system.
# Usage: pack.py OUT_DIR WIN32_BUILD WIN64_BUILD [NSIS_TARGET]
import os, re, subprocess, sys, tempfile, zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
out, win32, win64 = (os.path.abspath(a) for a in sys.argv[1:4])
target = ["-DTARGET=" + sys.argv[4]] if len(sys.argv) > 4 else []
version = re.search(r"project\(Lumaro VERSION ([0-9.]+)", open(os.path.join(ROOT, "CMakeLists.txt")).read()).group(1)
samples = os.path.join(win64, "samples")
pictures = sorted(f for f in os.listdir(samples) if f.upper().endswith((".BMP", ".JPG", ".PNG")))
scr = {"32-bit": os.path.join(win32, "lumaro.scr"), "64-bit": os.path.join(win64, "lumaro.scr")}

# Flat, because Windows' "Extract All" already makes a folder named after the zip.
zip_path = os.path.join(out, "lumaro-%s.zip" % version)
with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED) as z:
    for folder, path in scr.items():
        z.write(path, folder + "/lumaro.scr")
    z.write(os.path.join(win64, "dist", "README.txt"), "README.txt")
    # COLLECTION.INI is the file "Add folder..." finds and keeps, so the samples come with their titles.
    z.write(os.path.join(samples, "SAMPLES.INI"), "samples/COLLECTION.INI")
    for p in pictures:
        z.write(os.path.join(samples, p), "samples/" + p)

with tempfile.TemporaryDirectory() as work:
    listing = os.path.join(work, "samples.nsh")
    with open(listing, "w") as f:
        f.write("!macro SamplePictures\n%s!macroend\n" % "".join('  File "%s"\n' % os.path.join(samples, p) for p in pictures))
        f.write("!macro DeleteSamplePictures\n%s!macroend\n" % "".join('  Delete "$APPDATA\\Lumaro\\Samples\\%s"\n' % p for p in pictures))
    size_kb = (os.path.getsize(scr["64-bit"]) + sum(os.path.getsize(os.path.join(samples, p)) for p in pictures + ["SAMPLES.INI"])) // 1024
    setup = os.path.join(out, "lumaro-%s-setup.exe" % version)
    subprocess.run(["makensis", "-V2", "-DVERSION=" + version, "-DSCR32=" + scr["32-bit"], "-DSCR64=" + scr["64-bit"],
                    "-DICON=" + os.path.join(win64, "res", "generated", "lumaro.ico"),
                    "-DSAMPLES_INI=" + os.path.join(samples, "SAMPLES.INI"), "-DSAMPLE_LIST=" + listing,
                    "-DESTIMATED_KB=%d" % size_kb, "-DOUTFILE=" + setup, *target, os.path.join(ROOT, "dist", "setup.nsi")], check=True)
print(zip_path)
print(setup)
