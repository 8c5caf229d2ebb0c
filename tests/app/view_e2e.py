#!/usr/bin/env python3
"""End-to-end tests of zbuffer-view in a real X window.

Each run starts its own Xvfb server, starts the viewer in it, drives it with
xdotool (keys, the mouse, the window's size), takes screenshots and checks one
behaviour, named on the command line (e2e_support.py has what this shares with
the window program's tests):

    view_e2e.py --program build/zbuffer-view --source-dir . --artifacts DIR BEHAVIOUR

The viewer draws only when something changes, so once its turn is paused the
window holds one picture: a test waits for the line a key prints, then for
the picture to settle (two screenshots in a row alike), never for a fixed
time. Its window is moved to (0, 0) first, as Xvfb has no window manager to
place it and a window partly off the screen gives a cut screenshot.
"""

import os
import re
import subprocess
import sys
import threading
import time

from e2e_support import (WAIT, Program, check, check_alike, check_differs, check_fails_at_start,
                         drive, read_ppm, run)

TITLE_START = "zbuffer-view: "
START_SIZE = (512, 512)
SETTLE_WAIT = 0.15  # seconds between the screenshots that must agree
CHANGED_PIXELS = 2000  # at least this many differ after something that changes the picture
FPS_LINE = re.compile(r"^(\d+\.\d) fps, (\d+\.\d\d) ms a frame \(median\)$")
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


class ViewProgram(Program):
    TITLE_PATTERN = "^" + re.escape(TITLE_START)

    def wait_line(self, predicate, what, after=0, timeout=WAIT):
        """The first line from number `after` on for which `predicate` holds."""
        found = []

        def seen():
            found[:] = [line for line in self.lines[after:] if predicate(line)][:1]
            return bool(found)
        self.wait_for(seen, what, timeout)
        return found[0]

    def press(self, window, key, answer=None):
        """Presses `key`; with `answer`, waits for that line of output after it."""
        with self.condition:
            before = len(self.lines)
        self.key(window, key)
        if answer is not None:
            self.wait_line(lambda line: line == answer, repr(answer), before)

    def cpu_seconds(self):
        """User and system time of the whole process so far."""
        with open(f"/proc/{self.process.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS

    def title(self, window):
        return run(["xdotool", "getwindowname", window], self.env).stdout.strip()


def started(run_, args=(), cwd=None):
    """The viewer on `args`, its window at (0, 0) and its first picture drawn."""
    program = run_.start(list(args), cwd)
    window = program.window()
    run(["xdotool", "windowmove", "--sync", window, "0", "0"], program.env)
    program.wait_line(lambda line: line == "h lists the keys", "the start lines")
    program.wait_line(lambda line: FPS_LINE.match(line), "a frame-rate line")
    return program, window


def settled(program, window, name, unlike=None):
    """The window's picture once two screenshots in a row agree (and, given
    `unlike`, differ from it in at least CHANGED_PIXELS pixels)."""
    deadline = time.monotonic() + WAIT
    last = program.screenshot(window, name)
    while True:
        time.sleep(SETTLE_WAIT)
        picture = program.screenshot(window, name)
        if (picture.width, picture.height) == (last.width, last.height) and \
                picture.differing_pixels(last) == 0 and \
                (unlike is None or picture.width != unlike.width or
                 picture.height != unlike.height or
                 picture.differing_pixels(unlike) >= CHANGED_PIXELS):
            return picture
        check(time.monotonic() < deadline, f"the picture {name} did not settle in {WAIT:.0f} s")
        last = picture


def paused(run_, args=(), cwd=None):
    program, window = started(run_, args, cwd)
    program.press(window, "space", "turn paused")
    return program, window


def check_changed(picture, before, what):
    check_differs(picture, before, what, CHANGED_PIXELS)


def check_same(picture, before, what):
    check_alike(picture, before, what, 0)


def saved_picture(program, window, cwd):
    """Presses o and returns the name it prints and the picture it wrote."""
    with program.condition:
        before = len(program.lines)
    program.key(window, "o")
    line = program.wait_line(lambda line: line.startswith("saved "), "a saved line", before)
    path = line[len("saved "):]
    check(os.path.dirname(path) == cwd, f"saved {path!r}, not in the working folder {cwd}")
    ppm = run(["convert", path, "-depth", "8", "ppm:-"], program.env, binary=True)
    return os.path.basename(path), read_ppm(ppm.stdout, path)


# ---------------------------------------------------------------- behaviours


def behaviour_window_and_output(run_):
    """The default teapot: the title names file, shade model and mode, the start
    lines, a frame-rate line a second, the key list on h, --size and --shade."""
    program, window = started(run_)
    check(program.title(window) == "zbuffer-view: teapot.ply (gouraud, fill)",
          f"title {program.title(window)!r}")
    with program.condition:
        lines = list(program.lines)
    check(lines[:2] == ["loaded ./data/teapot.ply (PLY ASCII): 3241 vertices, 6320 faces",
                        "h lists the keys"], f"standard output begins {lines[:2]}")
    program.wait_line(lambda line: FPS_LINE.match(line), "a second frame-rate line",
                      lines.index(next(line for line in lines if FPS_LINE.match(line))) + 1)
    screenshot = program.screenshot(window, "start")
    check((screenshot.width, screenshot.height) == START_SIZE,
          f"window of {screenshot.width} x {screenshot.height}")
    for key in "wp":
        program.key(window, key)
    deadline = time.monotonic() + WAIT
    while program.title(window) != "zbuffer-view: teapot.ply (phong, line)":
        check(time.monotonic() < deadline, f"title {program.title(window)!r} after w and p")
        time.sleep(0.05)
    program.press(window, "h", "  Escape       quit")
    program.stop()  # its window would answer to the title as well
    other, other_window = started(run_, ["--size", "640x360", "--shade", "cartoon"])
    picture = other.screenshot(other_window, "sized")
    check((picture.width, picture.height) == (640, 360),
          f"--size 640x360 gave {picture.width} x {picture.height}")
    check(other.title(other_window) == "zbuffer-view: teapot.ply (cartoon, fill)",
          f"title {other.title(other_window)!r} with --shade cartoon")


def behaviour_pause(run_):
    """Turning, two screenshots half a second apart differ; paused, they are
    alike; resumed, they differ again; + and - change the speed."""
    program, window = started(run_)
    first = program.screenshot(window, "turning-1")
    time.sleep(0.5)
    check_changed(program.screenshot(window, "turning-2"), first, "half a second later")
    program.press(window, "space", "turn paused")
    still = settled(program, window, "paused-1")
    time.sleep(0.5)
    check_same(program.screenshot(window, "paused-2"), still, "half a second after pausing")
    program.press(window, "space", "turn: 30 degrees a second")
    time.sleep(0.5)
    check_changed(program.screenshot(window, "resumed"), still, "half a second after resuming")
    program.press(window, "plus", "turn: 40 degrees a second")
    program.press(window, "minus", "turn: 30 degrees a second")


def behaviour_drag(run_):
    """A left drag turns the view and the picture stays when released; a right
    drag and the wheel change the distance; r returns to the first view."""
    program, window = paused(run_)
    start = settled(program, window, "start")
    env = program.env
    run(["xdotool", "mousemove", "--window", window, "256", "256", "mousedown", "1",
         "mousemove", "--window", window, "356", "296"], env)
    held = settled(program, window, "dragged-held", unlike=start)
    run(["xdotool", "mouseup", "1"], env)
    time.sleep(0.5)
    check_same(program.screenshot(window, "dragged-released"), held, "after the release")
    box, held_box = start.lit_box(), held.lit_box()
    run(["xdotool", "mousemove", "--window", window, "256", "256", "mousedown", "3",
         "mousemove", "--window", window, "256", "156", "mouseup", "3"], env)
    nearer = settled(program, window, "right-dragged", unlike=held)
    check(nearer.lit_box()[2] - nearer.lit_box()[0] > held_box[2] - held_box[0],
          "a right drag upwards did not bring the mesh nearer")
    run(["xdotool", "click", "--repeat", "3", "5"], env)  # the wheel down: farther
    farther = settled(program, window, "wheeled", unlike=nearer)
    check(farther.lit_box()[2] - farther.lit_box()[0] < nearer.lit_box()[2] - nearer.lit_box()[0],
          "the wheel turned away did not move the mesh farther")
    program.key(window, "r")
    check_same(settled(program, window, "reset", unlike=farther), start, "after r")
    print(f"lit box {box} at the start, {held_box} after the drag")


def behaviour_save(run_):
    """o writes the next free zbuffer-view-NNNN.png in the working folder, equal
    to the window's picture, and leaves the taken names alone."""
    cwd = run_.artifacts
    taken = os.path.join(cwd, "zbuffer-view-0001.png")
    with open(taken, "w") as f:
        f.write("taken")
    program, window = paused(run_, [os.path.join(run_.options.source_dir, "data", "teapot.ply"),
                                    "--shade", "phong"], cwd)
    shown = settled(program, window, "shown")
    name, saved = saved_picture(program, window, cwd)
    check(name == "zbuffer-view-0002.png", f"saved as {name}")
    check((saved.width, saved.height) == (shown.width, shown.height),
          f"saved {saved.width} x {saved.height}, the window is {shown.width} x {shown.height}")
    check_same(saved, shown, "the saved picture")
    with open(taken) as f:
        check(f.read() == "taken", "zbuffer-view-0001.png was overwritten")
    name, _ = saved_picture(program, window, cwd)
    check(name == "zbuffer-view-0003.png", f"the second picture saved as {name}")


def behaviour_resize(run_):
    """A wider window renders a wider frame: the mesh keeps its size in pixels
    and moves to the new middle, and o saves a picture of the new size."""
    cwd = run_.artifacts
    teapot = os.path.join(run_.options.source_dir, "data", "teapot.ply")
    program, window = paused(run_, [teapot], cwd)
    square = settled(program, window, "square")
    run(["xdotool", "windowsize", "--sync", window, "768", "512"], program.env)
    wide = settled(program, window, "wide", unlike=square)
    check((wide.width, wide.height) == (768, 512), f"window of {wide.width} x {wide.height}")
    before, after = square.lit_box(), wide.lit_box()
    print(f"lit box {before} in 512 x 512, {after} in 768 x 512")
    for side in range(4):
        shift = 128 if side % 2 == 0 else 0
        check(abs(after[side] - before[side] - shift) <= 1,
              f"the mesh is stretched or misplaced: lit box {after}, {before} before")
    name, saved = saved_picture(program, window, cwd)
    check((saved.width, saved.height) == (768, 512), f"{name} is {saved.width} x {saved.height}")
    check_same(saved, settled(program, window, "wide-saved"), f"{name}")


# Each key and, for those that return to the start's modes, the start.
KEY_STEPS = (("w", False), ("s", True), ("f", False), ("p", False), ("c", False), ("g", True),
             ("z", False), ("a", True))


def behaviour_keys(run_):
    """Each of the window program's keys changes the picture; s, g and a
    return to the start's picture."""
    program, window = started(run_, ["--turn", "0"])
    start = settled(program, window, "start")
    before = start
    for key, returns in KEY_STEPS:
        program.key(window, key)
        picture = settled(program, window, f"after-{key}", unlike=before)
        if returns:
            check_same(picture, start, f"after {key}")
        before = picture


def red_cube(run_):
    """A cube of red vertices, as an ASCII PLY file."""
    corners = [(x, y, z) for x in (-1, 1) for y in (-1, 1) for z in (-1, 1)]
    faces = [(0, 1, 3), (0, 3, 2), (4, 6, 7), (4, 7, 5), (0, 4, 5), (0, 5, 1), (2, 3, 7),
             (2, 7, 6), (0, 2, 6), (0, 6, 4), (1, 5, 7), (1, 7, 3)]
    lines = ["ply", "format ascii 1.0", "element vertex 8", "property float x",
             "property float y", "property float z", "property uchar red",
             "property uchar green", "property uchar blue", "element face 12",
             "property list uchar int vertex_indices", "end_header"]
    lines += [f"{x} {y} {z} 255 0 0" for x, y, z in corners]
    lines += [f"3 {a} {b} {c}" for a, b, c in faces]
    return run_.temp_file("red-cube.ply", "\n".join(lines) + "\n")


def mean_channels(picture):
    """The mean red, green and blue of the lit pixels."""
    mask = picture.lit_mask()
    lit = [i for i in range(len(mask)) if mask[i]]
    check(lit, f"{picture.path}: nothing is lit")
    return [sum(picture.rgb[3 * i + k] for i in lit) / len(lit) for k in range(3)]


def behaviour_vertex_colors(run_):
    """--vertex-colors lights a red cube red; without it the material's white shows."""
    cube = red_cube(run_)
    means = {}
    for flag in ([], ["--vertex-colors"]):
        program, window = started(run_, [cube, "--turn", "0"] + flag)
        means[bool(flag)] = mean_channels(settled(program, window, f"cube{''.join(flag)}"))
        program.stop()
    print(f"mean red, green, blue: {means[False]} without, {means[True]} with --vertex-colors")
    red, green, _ = means[True]
    check(red > 4 * max(green, 1), f"--vertex-colors: the red cube shows {means[True]}")
    red, green, _ = means[False]
    check(abs(red - green) < 2, f"without --vertex-colors the cube shows {means[False]}")


def behaviour_pipeline_views(run_):
    """Keys 1 to 4 show the depth, overdraw, faces and stages views in place of the
    picture, the title says which; the same key again brings the picture back.
    The depth view is grey."""
    program, window = started(run_, ["--turn", "0"])
    start = settled(program, window, "start")
    before = start
    for key, name in (("1", "depth"), ("2", "overdraw"), ("3", "faces"), ("4", "stages")):
        program.key(window, key)
        picture = settled(program, window, f"view-{key}", unlike=before)
        title = f"zbuffer-view: teapot.ply (gouraud, fill, {name} view)"
        check(program.title(window) == title, f"title {program.title(window)!r} after {key}")
        if name == "depth":
            rgb = picture.rgb
            check(all(rgb[i] == rgb[i + 1] == rgb[i + 2] for i in range(0, len(rgb), 3)),
                  "the depth view is not grey")
        before = picture
    program.key(window, "4")
    check_same(settled(program, window, "picture-again", unlike=before), start, "4 a second time")
    check(program.title(window) == "zbuffer-view: teapot.ply (gouraud, fill)",
          f"title {program.title(window)!r} back on the picture")


def behaviour_escape(run_):
    """Escape ends the viewer with status 0."""
    program, window = started(run_)
    subprocess.run(["xdotool", "key", "--window", window, "Escape"], env=program.env,
                   stdin=subprocess.DEVNULL, capture_output=True, timeout=WAIT)
    status = program.wait_exit(5.0)
    check(status is not None, "the viewer still runs 5 s after Escape")
    check(status == 0, f"exit status {status} after Escape, expected 0")


def behaviour_idle(run_):
    """Paused and not dragged, the viewer uses no processor time; turning, it
    draws at most 60 frames a second."""
    program, window = paused(run_)
    settled(program, window, "paused")
    first = program.cpu_seconds()
    time.sleep(2.0)
    idle = program.cpu_seconds() - first
    with program.condition:
        before = len(program.lines)
    program.press(window, "space", "turn: 30 degrees a second")
    first = program.cpu_seconds()
    time.sleep(2.0)
    turning = program.cpu_seconds() - first
    print(f"processor time over 2 s: {idle:.2f} s paused, {turning:.2f} s turning")
    check(idle <= 0.02, f"{idle:.2f} s of processor time over two paused seconds")
    with program.condition:
        rates = [float(m.group(1)) for m in map(FPS_LINE.match, program.lines[before:]) if m]
    print(f"frames a second while turning: {rates}")
    check(rates and max(rates) <= 61.0, f"frame rates {rates} while turning")


def load_failure(run_, path, message):
    program = check_fails_at_start(run_, path, message)
    check(not program.window_ids(), "a window opened")


def behaviour_load_errors(run_):
    """A mesh that cannot be read: the reader's message and status 1, before
    any window opens."""
    missing = os.path.join(run_.artifacts, "no-such-mesh.obj")
    load_failure(run_, missing,
                 f"Error: (ImportMesh) : cannot open {missing} (No such file or directory)\n")
    bad = run_.temp_file("bad.ply", "ply\nformat ascii 1.0\nelement vertex 1\n"
                                    "property float x\nend_header\n0\n")
    load_failure(run_, bad, "Error: (ReadPly) : vertex element without x, y, z\n")


def behaviour_load_progress(run_):
    """A load that lasts over a second shows the bytes read on standard error,
    then what was read; the window opens after."""
    fifo = os.path.join(run_.artifacts, "slow.ply")
    os.mkfifo(fifo)
    with open(os.path.join(run_.options.source_dir, "data", "teapot.ply"), "rb") as f:
        teapot = f.read()

    def write_slowly():
        with open(fifo, "wb") as out:
            out.write(teapot[:100000])
            out.flush()
            time.sleep(1.5)
            out.write(teapot[100000:])
    writer = threading.Thread(target=write_slowly, daemon=True)
    writer.start()
    program, _ = started(run_, [fifo])
    writer.join(WAIT)
    with program.condition:
        stderr = program.stderr.decode()
    lines = stderr.splitlines()
    check(len(lines) >= 2 and re.fullmatch(rf"zbuffer-view: reading {re.escape(fifo)}: "
                                           r"0\.\d MB", lines[0]) is not None,
          f"no progress line on standard error: {stderr!r}")
    check(re.fullmatch(rf"zbuffer-view: read {re.escape(fifo)} in 1\.\d s: 3241 vertices, "
                       r"6320 faces", lines[-1]) is not None, f"standard error ends {lines[-1]!r}")


def behaviour_threads(run_):
    """ZBUFFER_THREADS=3 shows the picture one thread draws; a value that is
    not a thread count stops the viewer with status 2 and one line, before
    any window opens."""
    teapot = os.path.join(run_.options.source_dir, "data", "teapot.ply")
    shown = {}
    for threads in ("1", "3"):
        os.environ["ZBUFFER_THREADS"] = threads
        program, window = started(run_, [teapot, "--shade", "phong", "--turn", "0"])
        shown[threads] = settled(program, window, f"threads-{threads}")
        program.stop()
    check_same(shown["3"], shown["1"], "the picture on 3 threads")
    for bad in ("0", "257", "two"):
        os.environ["ZBUFFER_THREADS"] = bad
        program = run_.start([teapot])
        status = program.wait_exit(WAIT)
        program.wait_for(lambda: program.eof, "the end of standard output")
        for reader in program.readers:
            reader.join(5)
        expected = f"zbuffer-view: ZBUFFER_THREADS: '{bad}' is not a whole number from 1 to 256\n"
        check(status == 2, f"ZBUFFER_THREADS={bad}: exit status {status}, expected 2")
        check(program.stderr == expected.encode(),
              f"ZBUFFER_THREADS={bad}: standard error {program.stderr!r}")
        check(not program.window_ids(), f"ZBUFFER_THREADS={bad}: a window opened")
    del os.environ["ZBUFFER_THREADS"]


BEHAVIOURS = {
    "window_and_output": behaviour_window_and_output,
    "pause": behaviour_pause,
    "drag": behaviour_drag,
    "save": behaviour_save,
    "resize": behaviour_resize,
    "keys": behaviour_keys,
    "vertex_colors": behaviour_vertex_colors,
    "pipeline_views": behaviour_pipeline_views,
    "escape": behaviour_escape,
    "idle": behaviour_idle,
    "load_errors": behaviour_load_errors,
    "load_progress": behaviour_load_progress,
    "threads": behaviour_threads,
}

if __name__ == "__main__":
    sys.exit(drive(__doc__.split("\n\n")[0], BEHAVIOURS, ViewProgram))
