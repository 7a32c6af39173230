#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""One keyboard-only run of the window under the Orca screen reader, judged by what was spoken.

Starts, on a display and buses of its own: Xvfb, a session bus, the AT-SPI bus launcher, openbox
(Orca follows the focus only in a window that a window manager activates), speech-dispatcher
whose one output module appends every utterance to a file (sound goes to ALSA's null device),
and Orca with a private preferences folder and its debug file. Then it starts the program and
sends keys with xdotool, one step at a time, and checks after each step what speech-dispatcher
was given to say against the table below. It ends only the processes it started, by their PID.
  speak_run.py <sabrota executable>
Exit status 0: every step was heard as expected; 1: a step was not; 77: a tool is missing."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
TOOLS = ["Xvfb", "dbus-daemon", LAUNCHER, "openbox", "speech-dispatcher", "orca", "xdotool"]

# Step name, keys (xdotool names), what the spoken text of the step must contain. The focus
# starts in the first octet box.
STEPS = [
    ("type 192.168.1.130", "1 9 2 Tab 1 6 8 Tab 1 Tab 1 3 0 Tab", ["計算"]),
    ("focus the mask box", "Tab", ["サブネットマスク"]),
    ("choose /26", "Down Down", ["/26"]),
    ("back to 計算", "shift+Tab", ["計算"]),
    ("計算 for 192.168.1.130 /26", "space",
     ["C", "プライベート", "62", "192.168.1.128", "192.168.1.191"]),
    ("where am I", "KP_Enter", ["計算"]),
    ("into the list", "Tab Tab", ["192.168.1.128", "4件中3件目"]),
    ("back to the first octet", "shift+Tab " * 6, ["アドレス第1オクテット"]),
    ("type 10.1.2.3 and choose /25", "1 0 Tab 1 Tab 2 Tab 3 Tab Tab Up shift+Tab", ["計算"]),
    ("計算 for 10.1.2.3 /25", "space",
     ["A", "プライベート", "126", "10.1.2.0", "10.1.2.127", "計算が大変"]),
    ("to クリア", "Tab Tab Tab Tab Tab", ["クリア"]),
    ("クリア", "space", ["クリア", "サブネットマスク", "/24"]),
    ("type a bad first octet", "Tab 3 0 0 Tab Tab Tab Tab", ["計算"]),
    ("計算 with the bad octet", "space", ["第1オクテット：範囲外", "1～223で指定してください"]),
    ("close the box", "Return", ["結果なし"]),
]
# After these steps the focus, as Orca has it and as the AT-SPI tree has it, is on 計算.
FOCUS_ON_CALCULATE = {"計算 for 192.168.1.130 /26", "計算 for 10.1.2.3 /25"}


class Stack:
    """The processes of one run, started in order and ended newest first."""

    def __init__(self, work):
        self.work = work
        self.procs = []

    def start(self, name, args, env, **kw):
        log = open(os.path.join(self.work, name + ".log"), "w")
        p = subprocess.Popen(args, env=env, stdout=log, stderr=subprocess.STDOUT, **kw)
        self.procs.append((name, p))
        return p

    def stop(self):
        for _, p in reversed(self.procs):
            if p.poll() is None:
                p.send_signal(signal.SIGTERM)
        for _, p in reversed(self.procs):
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait(timeout=5)


def wait_until(probe, seconds, what):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if probe():
            return
        time.sleep(0.1)
    raise AssertionError(f"gave up waiting for {what}")


def size(path):
    return os.path.getsize(path) if os.path.exists(path) else 0


def settle(paths, quiet=1.5, most=15.0):
    """Waits until the files have stopped growing for a moment (Orca has had its say)."""
    end, last, still = time.monotonic() + most, None, time.monotonic()
    while time.monotonic() < end:
        now = [size(p) for p in paths]
        if now != last:
            last, still = now, time.monotonic()
        elif time.monotonic() - still >= quiet:
            return
        time.sleep(0.1)


def read_from(path, offset):
    with open(path, encoding="utf-8", errors="replace") as f:
        f.seek(offset)
        return f.read()


# Orca, speaking in the C locale, says some signs by their English names, and speech-dispatcher
# gets blanks between the pieces of a dotted address: the heard text is compared with the
# expected one without blanks and with the signs put back.
SIGNS = {"slash": "/", "tilda": "～", "colon": "："}


def plain(text):
    for name, sign in SIGNS.items():
        text = text.replace(name, sign)
    return "".join(text.split())


def orca_focus(debug_text):
    """Where Orca last put its locus of focus, from its debug lines."""
    moves = [l.split(" to ", 1)[1] for l in debug_text.splitlines()
             if "Changing locusOfFocus from" in l and " to " in l]
    return moves[-1] if moves else None


def speechd_config(work, spoken):
    conf = os.path.join(work, "speechd")
    shutil.copytree("/etc/speech-dispatcher", conf, symlinks=True)
    os.makedirs(os.path.join(conf, "modules"), exist_ok=True)
    with open(os.path.join(conf, "speechd.conf"), "a") as f:
        f.write('AddModule "recorder" "sd_generic" "recorder.conf"\n'
                'DefaultModule recorder\nDefaultLanguage "ja"\n'
                'AudioOutputMethod "alsa"\nAudioALSADevice "null"\n')
    with open(os.path.join(conf, "modules", "recorder.conf"), "w") as f:
        f.write(f"GenericExecuteSynth \"printf '%s\\\\n' \\'$DATA\\' >> {spoken}\"\n")
        # One utterance a line: the module would otherwise cut a long one, in mid-character.
        f.write("GenericMaxChunkLength 4000\n")
        for level in ("None", "Some", "Most", "All"):
            f.write(f'GenericPunct{level} ""\n')
        f.write('AddVoice "ja" "MALE1" "ja"\nAddVoice "en" "MALE1" "en"\n'
                'GenericLanguage "ja" "ja" "utf-8"\nGenericLanguage "en" "en" "utf-8"\n')
    return conf


# Run in a process of its own on the test's buses: prints the name of the program's object
# that the AT-SPI tree says has the focus.
FOCUS_PROBE = """
import sys, pyatspi
for app in pyatspi.Registry.getDesktop(0):
    if app is None or app.get_process_id() != int(sys.argv[1]):
        continue
    stack = [app]
    while stack:
        node = stack.pop()
        if node.getState().contains(pyatspi.STATE_FOCUSED) and node.getRoleName() != "frame":
            print(node.name)
            sys.exit(0)
        if node.getRoleName() != "list":  # the entries of a list follow its focus
            stack.extend(c for c in (node.getChildAtIndex(i) for i in range(node.childCount)) if c)
"""


def focused_in_tree(pid, env):
    r = subprocess.run([sys.executable, "-c", FOCUS_PROBE, str(pid)], env=env,
                       capture_output=True, text=True, timeout=30)
    return r.stdout.strip() or None


def main(exe):
    if os.environ.get("SABROTA_SKIP_A11Y"):
        print(f"skipped: SABROTA_SKIP_A11Y is set ({os.environ['SABROTA_SKIP_A11Y']})")
        return SKIP
    missing = [t for t in TOOLS if not shutil.which(t)]
    if subprocess.run([sys.executable, "-c", "import pyatspi"], capture_output=True,
                      timeout=30).returncode:
        missing.append("python3-pyatspi")
    if missing:
        print("skipped: not installed: " + ", ".join(missing))
        return SKIP

    work = tempfile.mkdtemp(prefix="sabrota-orca-")
    stack = Stack(work)
    try:
        return run(exe, work, stack)
    except AssertionError as e:
        print("FAILED:", e)
        for name in ("xvfb", "orca", "speechd", "sabrota"):
            path = os.path.join(work, name + ".log")
            if os.path.exists(path) and size(path):
                print(f"--- {name}:\n" + read_from(path, max(0, size(path) - 2000)))
        return 1
    finally:
        stack.stop()
        if os.environ.get("SABROTA_KEEP_ORCA_LOGS"):
            print("logs kept in", work)
        else:
            shutil.rmtree(work, ignore_errors=True)


def run(exe, work, stack):
    home = os.path.join(work, "home")
    runtime = os.path.join(work, "runtime")
    os.makedirs(home)
    os.mkdir(runtime, 0o700)
    env = {k: v for k, v in os.environ.items()
           if k not in ("WAYLAND_DISPLAY", "AT_SPI_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS",
                        "DISPLAY", "SPEECHD_ADDRESS", "QT_QPA_PLATFORM")}
    env.update(HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local/share"),
               XDG_CACHE_HOME=os.path.join(home, ".cache"), LANG="C.UTF-8",
               QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")

    # Xvfb picks a free display itself and writes its number.
    read_fd, write_fd = os.pipe()
    stack.start("xvfb", ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24",
                         "-nolisten", "tcp", "-noreset"], env, pass_fds=(write_fd,))
    os.close(write_fd)
    with os.fdopen(read_fd) as f:
        number = f.readline().strip()
    if not number:
        raise AssertionError("Xvfb did not start")
    env["DISPLAY"] = ":" + number

    # The bus prints its address into its log.
    stack.start("dbus", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                         "--print-address=1"], env)
    log = os.path.join(work, "dbus.log")
    wait_until(lambda: size(log) > 0, 10, "the session bus")
    env["DBUS_SESSION_BUS_ADDRESS"] = read_from(log, 0).splitlines()[0].strip()

    stack.start("launcher", [LAUNCHER, "--launch-immediately"], env)

    def owned():
        r = subprocess.run(["dbus-send", "--session", "--print-reply=literal",
                            "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                            "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
                           env=env, capture_output=True, text=True, timeout=5)
        return "true" in r.stdout
    wait_until(owned, 10, "the accessibility bus")

    stack.start("openbox", ["openbox", "--sm-disable"], env)
    spoken = os.path.join(work, "spoken.txt")
    conf = speechd_config(work, spoken)
    stack.start("speechd", ["speech-dispatcher", "-s", "-t", "0", "-C", conf,
                            "-L", work, "-l", "3"], env)
    sock = os.path.join(runtime, "speech-dispatcher", "speechd.sock")
    wait_until(lambda: os.path.exists(sock), 15, "speech-dispatcher's socket")

    prefs = os.path.join(work, "prefs")
    os.makedirs(prefs)
    # Each debug line on disk as it is written, so the log can be read while Orca runs.
    with open(os.path.join(prefs, "orca-customizations.py"), "w") as f:
        f.write("import orca.debug\ntry:\n    orca.debug.debugFile.reconfigure(line_buffering=True)\n"
                "except Exception:\n    pass\n")
    debug = os.path.join(work, "orca-debug.out")
    stack.start("orca", ["orca", "-u", prefs, f"--debug-file={debug}"], env)
    wait_until(lambda: "SPEECH OUTPUT" in (read_from(debug, 0) if size(debug) else ""), 60,
               "Orca to start speaking")

    # A copy of the program in a folder of its own: the export writes beside it.
    folder = os.path.join(work, "bin")
    os.makedirs(folder)
    copy = os.path.join(folder, "sabrota")
    shutil.copy2(exe, copy)
    app = stack.start("sabrota", [copy], env, cwd=folder)
    wait_until(lambda: "Sabrota" in read_from(debug, 0), 60, "Orca to hear of the window")
    settle([debug, spoken])

    failures = []
    heard = {}
    for name, keys, wanted in STEPS:
        if app.poll() is not None:
            raise AssertionError(f"the program ended with status {app.returncode}")
        d0, s0 = size(debug), size(spoken)
        for key in keys.split():
            subprocess.run(["xdotool", "key", "--delay", "60", key], env=env, timeout=10)
            time.sleep(0.15)
        settle([debug, spoken])
        said = " ".join(read_from(spoken, s0).split()) if size(spoken) > s0 else ""
        heard[name] = said
        print(f"{name}: {said}")
        missing = [w for w in wanted if plain(w) not in plain(said)]
        if missing:
            failures.append(f"{name}: {missing} not heard")
        if name in FOCUS_ON_CALCULATE:
            focus = orca_focus(read_from(debug, 0))
            if not focus or "計算" not in focus:
                failures.append(f"{name}: Orca's focus is {focus}, not 計算")
            in_tree = focused_in_tree(app.pid, env)
            if in_tree != "計算":
                failures.append(f"{name}: the AT-SPI focus is on {in_tree!r}, not 計算")
    text = read_from(debug, 0)
    for flood in ("FLOOD", "DELUGE"):
        if flood in text:
            failures.append(f"Orca reported a {flood.lower()} of events")
    for f in failures:
        print("MISMATCH", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
