#!/usr/bin/env python3
# The setup under Wine, in a fresh prefix of its own: a silent install (the saver in the system folder, of the
# prefix's architecture; its Apps & features entry; the samples, current in the machine's defaults; the installed
# saver showing one), a second install over the machine's own defaults and a user's settings, and silent uninstalls
# that take away what the setup put there and nothing of the user's; none of them touches the Windows directory.
# Usage: setup_test.py SETUP WINE_LOADER win64|win32, with DISPLAY set.
import os, subprocess, sys, tempfile, time

setup, wine, arch = sys.argv[1:4]
KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumaro"
DESKTOP = r"HKCU\Control Panel\Desktop"
failures = []


def check(ok, what):
    print(("ok:     " if ok else "FAILED: ") + what)
    if not ok:
        failures.append(what)


with tempfile.TemporaryDirectory() as prefix:
    env = dict(os.environ, WINEPREFIX=prefix, WINEARCH=arch, WINELOADER=wine, WINEDEBUG="-all")
    c = os.path.join(prefix, "drive_c")
    saver = os.path.join(c, "windows", "system32", "lumaro.scr")
    samples = os.path.join(c, "ProgramData", "Lumaro", "Samples")
    defaults = os.path.join(c, "ProgramData", "Lumaro", "LUMARO.INI")
    windows = os.path.join(c, "windows")
    old_settings = os.path.join(windows, "LUMARO.INI")  # where an earlier version kept them

    def wine_run(*args):
        return subprocess.run([wine, *args], env=env, capture_output=True, timeout=180)

    def reg(key, value):  # the value's data, or None
        out = wine_run("reg", "query", key, "/v", value).stdout.decode(errors="replace").splitlines()
        found = [line.split(None, 2) for line in out if line.strip().lower().startswith(value.lower() + " ")]
        return found[0][2].strip() if found and len(found[0]) == 3 else None

    def read(path):
        try:
            return open(path, "rb").read()
        except OSError:
            return None

    def write(path, data):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        open(path, "wb").write(data)

    def uninstall():  # as Apps & features runs it; the uninstaller goes on from a copy of itself
        command = reg(KEY, "QuietUninstallString")
        check(command is not None, "QuietUninstallString to run")
        if command and command.startswith('"'):
            program, _, args = command[1:].partition('"')
            wine_run(program, *args.split())
        deadline = time.time() + 60
        while reg(KEY, "DisplayName") is not None and time.time() < deadline:
            time.sleep(1)
        subprocess.run(["wineserver", "-w"], env=env, timeout=120)

    wine_run("wineboot", "-i")
    subprocess.run(["wineserver", "-w"], env=env, timeout=120)
    wine_run("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")  # no window manager
    user = [u for u in os.listdir(os.path.join(c, "users")) if u.lower() != "public"][0]
    settings = os.path.join(c, "users", user, "AppData", "Roaming", "Lumaro", "LUMARO.INI")

    def windows_untouched(what, run):  # the Windows directory's listing, and an earlier version's LUMARO.INI
        before = sorted(os.listdir(windows)), read(old_settings)
        run()
        after = sorted(os.listdir(windows)), read(old_settings)
        check(after == before, "%s leaves the Windows directory as it was: %s" % (what, set(after[0]) ^ set(before[0])))

    check(read(old_settings) is None, "no LUMARO.INI in the Windows directory to start with")
    windows_untouched("the install", lambda: wine_run(setup, "/S"))

    pe = read(saver) or b""
    machine = int.from_bytes(pe[int.from_bytes(pe[0x3C:0x40], "little") + 4:][:2], "little") if len(pe) > 0x40 else 0
    check(machine == {"win64": 0x8664, "win32": 0x14C}[arch], "the %s saver in the system folder (machine %#x)" % (arch, machine))
    values = {v: reg(KEY, v) for v in ["DisplayName", "DisplayVersion", "Publisher", "DisplayIcon", "EstimatedSize",
                                       "UninstallString", "QuietUninstallString", "NoModify", "NoRepair"]}
    check(all(values.values()) and values["NoModify"] == values["NoRepair"] == "0x1" and
          values["DisplayIcon"].lower() == r"c:\windows\system32\lumaro.scr,0", "the Apps & features entry: %s" % values)
    pictures = sorted(f for f in os.listdir(samples) if f != "COLLECTION.INI") if os.path.isdir(samples) else []
    check(len(pictures) >= 5 and read(os.path.join(samples, "COLLECTION.INI")), "the samples: %s" % pictures)
    ini = (read(defaults) or b"").decode("latin-1")
    check(r"Samples=C:\ProgramData\Lumaro\Samples\COLLECTION.INI" in ini and "CurrentSet=Samples" in ini and
          "Keys=0\r\nBlankAfter=0\r\nEachMonitor=1\r\nPairPortraits=1\r\nFade=1" in ini,
          "the samples current in the machine's defaults: %r" % ini)
    check((reg(DESKTOP, "SCRNSAVE.EXE") or "").lower() == r"c:\windows\system32\lumaro.scr", "Lumaro the screen saver")

    show = subprocess.Popen([wine, r"C:\windows\system32\lumaro.scr", "/s"], env=env)
    mean = 0.0
    for _ in range(40):  # the first sample, centred on a black screen
        time.sleep(0.25)
        shot = subprocess.run(["import", "-window", "root", "-crop", "64x64+288+208", "-format", "%[fx:mean]", "info:"],
                              capture_output=True, text=True)
        mean = float(shot.stdout or 0)
        if mean > 0.05:
            break
    show.kill()
    check(mean > 0.05, "the installed saver shows a sample (brightness %.2f)" % mean)

    # The machine's own defaults, a user's own list, an earlier version's settings in the Windows directory, and
    # the samples' collection file rewritten by "Add folder...".
    own_defaults = b"[ScreenSaver]\r\nCurrentSet=Ours\r\n[Sets]\r\nOurs=C:\\ours\\COLLECTION.INI\r\n"
    write(defaults, own_defaults)
    mine = b"[ScreenSaver]\r\nCurrentSet=Mine\r\n[Sets]\r\nMine=C:\\mine\\COLLECTION.INI\r\n"
    write(settings, mine)
    old = b"[ScreenSaver]\r\nCurrentSet=Old\r\n[Sets]\r\nOld=C:\\old\\COLLECTION.INI\r\n"
    write(old_settings, old)
    write(os.path.join(c, "mine", "COLLECTION.INI"), b"[Properties]\r\nCount=1\r\n[Pictures]\r\n1=a.bmp\r\n")
    write(os.path.join(c, "mine", "a.bmp"), b"BM")
    rewritten = b"[Properties]\r\nCount=1\r\n[Pictures]\r\n1=SUNSET.BMP\r\n"
    time.sleep(1.1)
    write(os.path.join(samples, "COLLECTION.INI"), rewritten)
    windows_untouched("a second install", lambda: wine_run(setup, "/S"))
    check(read(defaults) == own_defaults and read(settings) == mine,
          "a second install keeps the machine's defaults that list collections, and the user's LUMARO.INI")
    check(read(os.path.join(samples, "COLLECTION.INI")) == rewritten, "and the samples' rewritten collection file")

    wine_run("reg", "add", DESKTOP, "/v", "SCRNSAVE.EXE", "/d", r"C:\windows\system32\other.scr", "/f")
    windows_untouched("the uninstall", uninstall)
    check(read(saver) is None and reg(KEY, "DisplayName") is None and read(defaults) is None,
          "the saver, its entry and the machine's defaults gone")
    left = sorted(os.listdir(samples)) if os.path.isdir(samples) else []
    check(left == ["COLLECTION.INI"], "of the samples only the rewritten collection file stays: %s" % left)
    check(not os.path.exists(os.path.join(c, "Program Files", "Lumaro")), "the uninstaller gone")
    check(read(settings) == mine and read(os.path.join(c, "mine", "a.bmp")) == b"BM", "the user's files stay")
    check(reg(DESKTOP, "SCRNSAVE.EXE") == r"C:\windows\system32\other.scr", "another screen saver stays")

    wine_run(setup, "/S")
    uninstall()
    check(reg(DESKTOP, "SCRNSAVE.EXE") is None, "a screen saver still naming Lumaro is cleared")
    subprocess.run(["wineserver", "-k"], env=env)

print("setup_test: %d failed" % len(failures))
sys.exit(1 if failures else 0)
