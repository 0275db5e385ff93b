"""A run from the window against `velnor-cli run --yes` on the same 20 MiB copy
of corpus pages, backup on for both, side by side; run by window-run.sh under
a virtual X server (it needs DISPLAY).

The window is pointed at the folder through its remembered folder in a
temporary home, Start is clicked through XTest, and the run counts as done
when the status label shows what it shows after a run over an empty folder
("已经完成任务."), which is captured first. A second window program (an
earlier build) may be measured alongside.

    python3 bench/window_run.py VELNOR VELNOR_CLI CORPUS_REAL RUNS [EARLIER_VELNOR]
"""
import ctypes
import hashlib
import os
import resource
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

SIZE = 20 * 1024 * 1024
# At 96 dots per inch: the centre of Command1 and a strip over lbstate that is
# wider than "已经完成任务.", so the longer captions of the run never match it.
START_BUTTON = (464, 80)
STATUS_STRIP = (16, 326, 200, 20)
POLL = 0.002
TIMEOUT = 600


class Display:
    class Image(ctypes.Structure):
        _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int),
                    ("xoffset", ctypes.c_int), ("format", ctypes.c_int),
                    ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                    ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                    ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                    ("bytes_per_line", ctypes.c_int)]

    def __init__(self):
        self.x = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XGetImage.restype = ctypes.POINTER(self.Image)
        self.x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XTranslateCoordinates.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong)]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.dpy = self.x.XOpenDisplay(None)
        if not self.dpy:
            sys.exit("no X display: run this through bench/window-run.sh")
        self.root = self.x.XDefaultRootWindow(self.dpy)

    def grab(self, window, strip):
        """The pixels of a strip of the window, as bytes."""
        left, top, width, height = strip
        image = self.x.XGetImage(self.dpy, window, left, top, width, height, 0xFFFFFFFF, 2)
        if not image:
            return b""
        data = ctypes.string_at(image.contents.data, image.contents.bytes_per_line * height)
        self.x.XFree(image.contents.data)
        self.x.XFree(image)
        return hashlib.sha256(data).digest()

    def click(self, window, point):
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        self.x.XTranslateCoordinates(self.dpy, window, self.root, point[0], point[1],
                                     ctypes.byref(x), ctypes.byref(y), ctypes.byref(child))
        self.xtst.XTestFakeMotionEvent(self.dpy, -1, x.value, y.value, 0)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, 0, 0)
        self.x.XFlush(self.dpy)


def copy_pages(real, to):
    """Every fifth page of the sorted tree, then the next ones, up to 20 MiB."""
    pages = sorted(os.path.relpath(os.path.join(d, f), real)
                   for d, _, files in os.walk(real) for f in files)
    chosen, total = [], 0
    for residue in range(5):
        for page in pages[residue::5]:
            if total >= SIZE:
                break
            chosen.append(page)
            total += os.path.getsize(os.path.join(real, page))
    for page in chosen:
        os.makedirs(os.path.join(to, os.path.dirname(page)), exist_ok=True)
        shutil.copy2(os.path.join(real, page), os.path.join(to, page))
    return len(chosen), total


def tree_digest(folder):
    digest = hashlib.sha256()
    for d, _, files in sorted(os.walk(folder)):
        for f in sorted(files):
            path = os.path.join(d, f)
            digest.update(os.path.relpath(path, folder).encode())
            digest.update(open(path, "rb").read())
    return digest.hexdigest()


def fresh_copy(source, tree):
    for folder in (tree, tree + ".bak"):
        shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(source, tree)
    os.sync()


class Window:
    """The window of one program run, on the given folder."""

    def __init__(self, display, velnor, home, folder):
        self.display = display
        config = os.path.join(home, ".config", "Trimora")
        os.makedirs(config, exist_ok=True)
        with open(os.path.join(config, "Trimora.conf"), "w") as conf:
            conf.write(f"[Root]\nPath={folder}\n")
        runtime = os.path.join(home, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb")
        self.process = subprocess.Popen([velnor], env=env)
        self.id = self.find()
        self.settle()

    def find(self):
        found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid",
                                str(self.process.pid), "--name", "^Velnor$"],
                               capture_output=True, text=True, timeout=60, check=True)
        return int(found.stdout.split()[0])

    def settle(self):
        """Waits until the status strip has been drawn and stays the same."""
        last, same = None, 0
        while same < 20:
            time.sleep(0.01)
            now = self.display.grab(self.id, STATUS_STRIP)
            same = same + 1 if now == last and now else 0
            last = now

    def status(self):
        return self.display.grab(self.id, STATUS_STRIP)

    def cpu(self):
        fields = open(f"/proc/{self.process.pid}/stat").read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def start_and_wait(self, done):
        """The run's wall time and the program's processor time, in seconds."""
        cpu = self.cpu()
        before = time.perf_counter()
        self.display.click(self.id, START_BUTTON)
        while self.status() != done:
            if time.perf_counter() - before > TIMEOUT:
                sys.exit("the window's run did not end")
            time.sleep(POLL)
        return time.perf_counter() - before, self.cpu() - cpu

    def close(self):
        self.process.send_signal(signal.SIGTERM)
        self.process.wait(timeout=30)


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def main():
    velnor, cli, real, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    windows = {"window": velnor}
    if len(sys.argv) > 5:
        windows["earlier window"] = sys.argv[5]
    display = Display()
    work = tempfile.mkdtemp(prefix="velnor-window-run-")
    try:
        source = os.path.join(work, "pages")
        count, size = copy_pages(real, source)
        tree = os.path.join(work, "site")
        home = os.path.join(work, "home")

        # What each build shows after a run, from a run over one small page:
        # builds may draw the status strip a pixel apart.
        small = os.path.join(work, "small")
        done = {}
        for name, program in windows.items():
            for folder in (small, small + ".bak"):
                shutil.rmtree(folder, ignore_errors=True)
            os.mkdir(small)
            with open(os.path.join(small, "a.htm"), "w") as page:
                page.write("<p> a </p>\n")
            window = Window(display, program, home, small)
            display.click(window.id, START_BUTTON)
            window.settle()
            done[name] = window.status()
            window.close()

        cli_name = "velnor-cli run --yes"
        times = {name: [] for name in [*windows, cli_name]}
        digests = set()
        for _ in range(runs):
            for name, program in windows.items():
                fresh_copy(source, tree)
                window = Window(display, program, home, tree)
                times[name].append(window.start_and_wait(done[name]))
                window.close()
                digests.add(tree_digest(tree))

            fresh_copy(source, tree)
            cpu = children_cpu()
            before = time.perf_counter()
            subprocess.run([cli, "run", "--yes", tree], stdout=subprocess.DEVNULL, check=True)
            times[cli_name].append((time.perf_counter() - before, children_cpu() - cpu))
            digests.add(tree_digest(tree))
        if len(digests) != 1:
            sys.exit("the window and the command line left different pages")

        megabytes = size / 1e6
        cli_median = statistics.median(wall for wall, _ in times[cli_name])
        print(f"{count} pages, {size:,} bytes, backup on, {runs} runs each, side by side, "
              f"load average {os.getloadavg()[0]:.1f}")
        print("| run | median [s] | min [s] | max [s] | MB/s | median / velnor-cli "
              "| CPU median [s] |")
        print("|---|---:|---:|---:|---:|---:|---:|")
        for name, values in times.items():
            walls = [wall for wall, _ in values]
            median = statistics.median(walls)
            cpu = statistics.median(cpu for _, cpu in values)
            print(f"| {name} | {median:.3f} | {min(walls):.3f} | {max(walls):.3f} "
                  f"| {megabytes / median:.1f} | {median / cli_median:.2f} | {cpu:.2f} |")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
