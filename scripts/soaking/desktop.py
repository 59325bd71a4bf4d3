"""The soak's private X server, its window manager, and the program's homes."""

import json
import os
import re
import select
import signal
import subprocess
import time


# ---- the private X server, its window manager and the program

def run(command, env, timeout=30, stdin=None):
    try:
        done = subprocess.run(command, env=env, input=stdin, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=timeout)
        return done.returncode, done.stdout.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        return -1, ""


class Desktop:
    def __init__(self):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten",
             "tcp", "-noreset"], pass_fds=[write_end], stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        while select.select([read_end], [], [], 20)[0]:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
            if number.endswith(b"\n"):
                break
        os.close(read_end)
        if not number.strip():
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self.manager = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(200):
            if "window id" in run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], self.env)[1]:
                break
            time.sleep(0.1)
        else:
            raise RuntimeError("openbox did not start")
        self.clipboard_owners = []

    def x(self, *command, timeout=30):
        return run(list(command), self.env, timeout)

    def windows(self):
        """The program's windows on screen: id, name, client area, and window type."""
        found = []
        for wid in self.x("xdotool", "search", "--onlyvisible", "--classname", "brivel")[1].split():
            info = self.x("xwininfo", "-id", wid)[1]
            values = dict(re.findall(r"^\s*([A-Za-z -]+):\s+(-?\d+)\s*$", info, re.M))
            name = re.search(r'xwininfo: Window id: \S+ "(.*)"', info)
            kind = self.x("xprop", "-id", wid, "_NET_WM_WINDOW_TYPE")[1]
            if "Width" not in values:
                continue
            found.append({"id": wid, "name": name.group(1) if name else "",
                          "x": int(values["Absolute upper-left X"]),
                          "y": int(values["Absolute upper-left Y"]),
                          "w": int(values["Width"]), "h": int(values["Height"]),
                          # the first of the types it names, as the window manager takes it
                          "type": kind.partition("=")[2].split(",")[0].rsplit("_", 1)[-1].strip()})
        return found

    def copy(self, text):
        owner = subprocess.Popen(["xclip", "-selection", "clipboard", "-quiet"], env=self.env,
                                 stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        owner.stdin.write(text.encode("utf-8", "surrogatepass"))
        owner.stdin.close()
        self.clipboard_owners = [p for p in self.clipboard_owners if p.poll() is None] + [owner]

    def close(self):
        for process in self.clipboard_owners + [self.manager, self.server]:
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()


class Program:
    """One home of the program: its settings, autosave and runs."""

    def __init__(self, executable, home, desktop, mode):
        self.executable, self.home, self.desktop = executable, home, desktop
        self.process = None
        for folder in ("config/Brivel", "data", "cache", "runtime"):
            os.makedirs(os.path.join(home, folder), exist_ok=True)
        self.log = open(os.path.join(home, "output.log"), "ab")
        os.chmod(os.path.join(home, "runtime"), 0o700)
        self.env = dict(desktop.env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
                        XDG_DATA_HOME=os.path.join(home, "data"),
                        XDG_CACHE_HOME=os.path.join(home, "cache"),
                        XDG_RUNTIME_DIR=os.path.join(home, "runtime"), QT_QPA_PLATFORM="xcb")
        self.env.pop("WAYLAND_DISPLAY", None)
        self.set_mode(mode)

    @property
    def autosave(self):
        return os.path.join(self.home, "data/Brivel/pages.json")

    def set_mode(self, mode):
        path = os.path.join(self.home, "config/Brivel/Brivel.conf")
        try:
            with open(path, encoding="utf-8") as f:
                conf = f.read()
        except FileNotFoundError:
            conf = ("[General]\nhasCompletedOnboarding=true\nhasCompletedCoachMarks=true\n"
                    "appLanguage=es\n")
        conf = re.sub(r"^overlayMode=.*\n", "", conf, flags=re.M)
        conf = conf.replace("[General]\n", f"[General]\noverlayMode={mode}\n", 1)
        with open(path, "w", encoding="utf-8") as f:
            f.write(conf)
        self.mode = mode

    def start(self, arguments=()):
        self.log.write(f"--- start {time.strftime('%H:%M:%S')} mode={self.mode}\n".encode())
        self.log.flush()
        self.process = subprocess.Popen([self.executable, *arguments], env=self.env,
                                        stdout=self.log, stderr=self.log)
        self.started = time.monotonic()

    def alive(self):
        return self.process is not None and self.process.poll() is None

    def kill(self):
        if self.alive():
            self.process.send_signal(signal.SIGKILL)
        if self.process:
            self.process.wait()

    def launch_again(self, arguments=(), timeout=60):
        """A later launch hands its arguments to the running program: its status and time."""
        began = time.monotonic()
        status = run([self.executable, *arguments], self.env, timeout)[0]
        if status != 0:
            print(f"  a later launch ended with status {status}", flush=True)
        return status, time.monotonic() - began


def pages_of(path):
    """The pages and titles a document or autosave holds, or None when it is no whole
    document."""
    try:
        with open(path, "rb") as f:
            data = json.loads(f.read().decode("utf-8"))
    except (OSError, ValueError):
        return None
    if isinstance(data, list):
        return data, []
    if not isinstance(data, dict) or not isinstance(data.get("pages"), list):
        return None
    return data["pages"], data.get("titles", [])


def with_marker(old, new, marker):
    """True when `new` is `old` with the marker typed once into one page."""
    if old is None or new is None or len(old[0]) != len(new[0]):
        return False
    changed = [i for i, (a, b) in enumerate(zip(old[0], new[0])) if a != b]
    return (len(changed) == 1 and new[0][changed[0]].count(marker) == 1
            and new[0][changed[0]].replace(marker, "", 1) == old[0][changed[0]])


def wait_for(condition, timeout, step=0.2):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(step)
