#!/usr/bin/env python3
"""End-to-end tests of the zbuffer window program in a real X window.

Each run starts its own Xvfb server (1024 x 768 x 24, display number chosen by
the server itself through -displayfd, so parallel runs never collide), starts
the real program in it, drives it with xdotool, takes screenshots with
ImageMagick's `import -window` and checks one behaviour, named on the command
line:

    zbuffer_e2e.py --program build/zbuffer --source-dir . --artifacts DIR BEHAVIOUR

Exit status 0 when the behaviour holds, 1 when it does not and 2 when the test
could not run at all (no Xvfb, no xdotool, ...): a test that cannot run fails,
it is never skipped. The screenshots, the program's output and a note on what
failed stay in DIR/BEHAVIOUR after a failing run; after a passing run that
folder is removed unless ZBUFFER_E2E_KEEP=1 is set in the environment.

Exact frames. The mesh turns 10 degrees a frame, so equal frame numbers modulo
36 give the same picture (up to a few pixels). The program's standard output is a pseudo-terminal
here, and the driver stops that terminal's output (tcflow TCOOFF) as soon as it
has read the "Tps de rendu" line of frame k. The program then renders frame
k + 1 and blocks in write() on its line, before it uploads and shows frame
k + 1: once it is seen blocked there (/proc/PID/syscall), the window shows
exactly frame k, the number of frame lines read so far. Only the standard
library and the programs xdotool, import and Xvfb are used.
"""

import argparse
import math
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import termios
import threading
import time
import zlib

TITLE = "Z-Buffer - OpenGL"
WINDOW_SIZE = (512, 512)
WINDOW_POSITION = (200, 200)
SCREEN = "1024x768x24"
FRAMES_PER_TURN = 36  # 10 degrees a frame
DISTANCE_ANGLE = 0.6041524723549063
FRAME_LINE = re.compile(r"^Tps de rendu : (\d+(?:\.\d+)?(?:e[-+]\d+)?) s$")
LIT = 24  # a pixel is lit when one of its channels exceeds this
WAIT = 20.0  # seconds for any one thing to happen
MEMCHECK_WAIT = 300.0  # under valgrind everything is some 50 times slower
MEMCHECK_ERRORS = 99  # valgrind's exit status when it found errors
SAME_PICTURE_PIXELS = 100  # at most this many differ between pictures at the same angle
CHANGED_PICTURE_PIXELS = 2000  # at least this many differ after a key that changes the picture


# System call numbers of write and writev, as /proc/PID/syscall shows them.
WRITE_SYSCALLS = {"x86_64": (1, 20), "aarch64": (64, 66)}.get(os.uname().machine, ())


class Failure(Exception):
    """The behaviour under test does not hold."""


class CannotRun(Exception):
    """The test could not be carried out (a tool or the X server is missing)."""


def check(condition, message):
    if not condition:
        raise Failure(message)


# ---------------------------------------------------------------- pictures


class Picture:
    """An RGB screenshot: width, height and width * height * 3 bytes, top row first."""

    def __init__(self, width, height, rgb, path):
        self.width, self.height, self.rgb, self.path = width, height, rgb, path
        self._mask = None

    def lit_mask(self):
        """One byte per pixel: 1 when a channel exceeds LIT, else 0."""
        if self._mask is None:
            table = bytes(1 if v > LIT else 0 for v in range(256))
            lit = self.rgb.translate(table)
            self._mask = bytes(r | g | b for r, g, b in zip(lit[0::3], lit[1::3], lit[2::3]))
        return self._mask

    def lit_count(self, box=None):
        mask = self.lit_mask()
        if box is None:
            return sum(mask)
        x0, y0, x1, y1 = box
        return sum(sum(mask[y * self.width + x0:y * self.width + x1]) for y in range(y0, y1))

    def max_channel(self, box):
        x0, y0, x1, y1 = box
        return max(max(self.rgb[3 * (y * self.width + x0):3 * (y * self.width + x1)])
                   for y in range(y0, y1))

    def lit_rows(self):
        mask = self.lit_mask()
        return [sum(mask[y * self.width:(y + 1) * self.width]) for y in range(self.height)]

    def share_of_commonest_colours(self, count):
        """The share of the lit pixels that have one of the `count` commonest colours."""
        mask = self.lit_mask()
        histogram = {}
        for i in range(len(mask)):
            if mask[i]:
                colour = self.rgb[3 * i:3 * i + 3]
                histogram[colour] = histogram.get(colour, 0) + 1
        commonest = sorted(histogram.values(), reverse=True)[:count]
        return sum(commonest) / max(1, sum(mask))

    def differing_pixels(self, other):
        check((self.width, self.height) == (other.width, other.height),
              f"{self.path} and {other.path} differ in size")
        a, b = self.rgb, other.rgb
        return sum(1 for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3])


def read_ppm(data, path):
    match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    if not match or match.group(3) != b"255":
        raise CannotRun(f"import did not give an 8-bit PPM for {path}")
    width, height = int(match.group(1)), int(match.group(2))
    rgb = data[match.end():match.end() + width * height * 3]
    if len(rgb) != width * height * 3:
        raise CannotRun(f"import gave a truncated PPM for {path}")
    return Picture(width, height, rgb, path)


def write_png(picture, path):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    stride = picture.width * 3
    raw = b"".join(b"\0" + picture.rgb[y * stride:(y + 1) * stride] for y in range(picture.height))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", picture.width, picture.height, 8, 2, 0, 0,
                                           0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        f.write(chunk(b"IEND", b""))


# ---------------------------------------------------------------- the X server


class XServer:
    """A private Xvfb; the display number comes from the server (-displayfd)."""

    def __init__(self, workdir):
        self.log_path = os.path.join(workdir, "xvfb.log")
        self.process = None
        self.display = None

    def start(self):
        if shutil.which("Xvfb") is None:
            raise CannotRun("Xvfb is not installed (Debian package xvfb)")
        read_end, write_end = os.pipe()
        log = open(self.log_path, "wb")
        try:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-nolisten", "tcp",
                 "-noreset"],
                stdin=subprocess.DEVNULL, stdout=log, stderr=log, pass_fds=[write_end],
                start_new_session=True)
        finally:
            os.close(write_end)
            log.close()
        number = b""
        deadline = time.monotonic() + WAIT
        while not number.endswith(b"\n"):
            left = deadline - time.monotonic()
            ready, _, _ = select.select([read_end], [], [], max(0.0, left))
            chunk = os.read(read_end, 64) if ready else b""
            if not chunk:
                os.close(read_end)
                self.stop()
                raise CannotRun("Xvfb could not start; its log:\n" + self.log())
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()

    def log(self):
        try:
            with open(self.log_path, errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


# ---------------------------------------------------------------- the program


class Program:
    """The zbuffer process, its standard output on a pseudo-terminal we can pause."""

    def __init__(self, program, args, cwd, display, artifacts, paused=False):
        self.artifacts = artifacts
        self.env = dict(os.environ, DISPLAY=display)
        self.env.pop("XAUTHORITY", None)
        master, self.slave = os.openpty()
        attributes = termios.tcgetattr(self.slave)
        attributes[1] &= ~termios.OPOST  # no newline translation: the bytes as written
        attributes[3] &= ~(termios.ECHO | termios.ICANON)
        termios.tcsetattr(self.slave, termios.TCSANOW, attributes)
        self.master = master
        if paused:  # the program blocks on its first line until hold_at lets it go
            termios.tcflow(self.slave, termios.TCOOFF)
        self.lines = []  # complete standard-output lines, without the newline
        self.frame_lines = 0  # of which "Tps de rendu" lines
        self.partial = b""
        self.stderr = b""
        self.freeze_after = None  # stop the output once this many frame lines are read
        self.condition = threading.Condition()
        self.eof = False
        self.process = subprocess.Popen([program] + args, cwd=cwd, env=self.env,
                                        stdin=subprocess.DEVNULL, stdout=self.slave,
                                        stderr=subprocess.PIPE, start_new_session=True)
        self.readers = [threading.Thread(target=self._read_stdout, daemon=True),
                        threading.Thread(target=self._read_stderr, daemon=True)]
        for reader in self.readers:
            reader.start()

    # -- output

    def _read_stdout(self):
        # The driver keeps the terminal's other end open (to pause it), so the
        # output ends when the program has ended and nothing is left to read.
        while True:
            ready, _, _ = select.select([self.master], [], [], 0.05)
            try:
                chunk = os.read(self.master, 65536) if ready else None
            except OSError:
                chunk = b""
            if chunk is None:
                if self.process.poll() is None:
                    continue
                chunk = b""
            with self.condition:
                if not chunk:
                    self.eof = True
                    self.condition.notify_all()
                    return
                self.partial += chunk
                *complete, self.partial = self.partial.split(b"\n")
                for line in complete:
                    self.lines.append(line.decode("utf-8", "replace"))
                    self.frame_lines += self.lines[-1].startswith("Tps de rendu")
                if self.freeze_after is not None and self.frames() >= self.freeze_after:
                    termios.tcflow(self.slave, termios.TCOOFF)
                    self.freeze_after = None
                self.condition.notify_all()

    def _read_stderr(self):
        for chunk in iter(lambda: self.process.stderr.read1(65536), b""):
            with self.condition:
                self.stderr += chunk

    def frames(self):
        """Frame lines read so far."""
        return self.frame_lines

    def wait_for(self, predicate, what, timeout=WAIT):
        deadline = time.monotonic() + timeout
        with self.condition:
            while not predicate():
                left = deadline - time.monotonic()
                if left <= 0:
                    raise Failure(f"timed out after {timeout:.0f} s waiting for {what}; "
                                  f"{self.frames()} frame lines so far")
                if self.eof and self.process.poll() is not None and not predicate():
                    raise Failure(f"the program ended (status {self.process.returncode}) while "
                                  f"waiting for {what}")
                self.condition.wait(min(left, 0.1))

    def wait_frames(self, count, timeout=WAIT):
        self.wait_for(lambda: self.frames() >= count, f"{count} frame lines", timeout)

    # -- exact frames

    def _blocked_writing_stdout(self):
        """Whether the main thread sleeps in write() or writev() on file descriptor 1:
        with the terminal's output stopped, nothing else makes it sleep there."""
        main_thread = f"/proc/{self.process.pid}/task/{self.process.pid}"
        try:
            with open(main_thread + "/syscall") as f:
                call = f.read().split()
            with open(main_thread + "/stat") as f:
                state = f.read().rsplit(")", 1)[1].split()[0]
        except (OSError, IndexError):
            return False
        return (state == "S" and len(call) >= 2 and call[0].isdigit()
                and int(call[0]) in WRITE_SYSCALLS and int(call[1], 16) == 1)

    def hold_at(self, frame_number, timeout=WAIT):
        """Stops the program with frame `frame_number` or a later one on screen.

        Returns the number of the frame the window shows, exactly.
        """
        with self.condition:
            if self.frames() >= frame_number:
                termios.tcflow(self.slave, termios.TCOOFF)
            else:
                self.freeze_after = frame_number
                termios.tcflow(self.slave, termios.TCOON)
        self.wait_for(lambda: self.freeze_after is None, f"frame {frame_number}", timeout)
        deadline = time.monotonic() + timeout
        while not self._blocked_writing_stdout():
            if self.process.poll() is not None:
                raise Failure(f"the program ended (status {self.process.returncode}) at frame "
                              f"{self.frames()}")
            if time.monotonic() > deadline:
                raise CannotRun("the program does not block on its paused output "
                                "(is /proc/PID/syscall readable?)")
            time.sleep(0.002)
        time.sleep(0.05)  # the reader thread takes the last bytes the terminal accepted
        with self.condition:
            return self.frames()

    def hold_at_turn_position(self, position):
        """Holds the program on a coming frame whose number is `position` modulo
        36, so at the angle of frame `position`. Returns that frame's number."""
        for _ in range(5):
            # A few frames ahead: the pause must reach the terminal before that frame's line.
            soonest = self.frames() + 3
            target = soonest + (position - soonest) % FRAMES_PER_TURN
            shown = self.hold_at(target)
            if shown % FRAMES_PER_TURN == position % FRAMES_PER_TURN:
                return shown
        raise Failure(f"could not hold the program on a frame {position} modulo 36")

    def resume(self):
        if self.slave is not None:
            termios.tcflow(self.slave, termios.TCOON)

    # -- window and keys

    def _window_ids(self):
        found = run(["xdotool", "search", "--name", "^" + re.escape(TITLE) + "$"], self.env,
                    check_status=False)
        return found.stdout.split()

    def window(self):
        """The id of the program's window (the only one with its title on this server)."""
        deadline = time.monotonic() + WAIT
        while True:
            ids = self._window_ids()
            if ids:
                check(len(ids) == 1, f"{len(ids)} windows titled {TITLE!r}: {ids}")
                return ids[0]
            if self.process.poll() is not None:
                raise Failure(f"the program ended (status {self.process.returncode}) before "
                              f"its window appeared")
            if time.monotonic() > deadline:
                raise Failure(f"no window titled {TITLE!r} within {WAIT:.0f} s")
            time.sleep(0.05)

    def key(self, window, name):
        run(["xdotool", "key", "--window", window, name], self.env)

    def screenshot(self, window, name):
        path = os.path.join(self.artifacts, name + ".png")
        ppm = run(["import", "-silent", "-window", window, "-depth", "8", "ppm:-"], self.env,
                  binary=True)
        picture = read_ppm(ppm.stdout, path)
        write_png(picture, path)
        return picture

    def rss_kib(self):
        with open(f"/proc/{self.process.pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        raise Failure("no VmRSS in /proc/PID/status")

    # -- end

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        """Kills the program if it still runs and waits until its window is gone."""
        if self.master is None:
            return
        if self.process.poll() is None:
            self.resume()
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        for reader in self.readers:
            reader.join(5)
        os.close(self.slave)
        os.close(self.master)
        self.master = self.slave = None
        deadline = time.monotonic() + WAIT
        while self._window_ids() and time.monotonic() < deadline:
            time.sleep(0.05)

    def save_output(self):
        with self.condition:
            with open(os.path.join(self.artifacts, "stdout.txt"), "w") as f:
                f.write("\n".join(self.lines) + ("\n" + self.partial.decode("utf-8", "replace")
                                                 if self.partial else ""))
            with open(os.path.join(self.artifacts, "stderr.txt"), "wb") as f:
                f.write(self.stderr)


def run(command, env, binary=False, check_status=True):
    if shutil.which(command[0]) is None:
        package = {"xdotool": "xdotool", "import": "imagemagick"}.get(command[0], command[0])
        raise CannotRun(f"{command[0]} is not installed (Debian package {package})")
    result = subprocess.run(command, env=env, stdin=subprocess.DEVNULL, capture_output=True,
                            text=not binary, timeout=WAIT)
    if check_status and result.returncode != 0:
        raise CannotRun(f"{' '.join(command)} failed with status {result.returncode}: "
                        f"{result.stderr.strip() if not binary else result.stderr[-500:]}")
    return result


# ---------------------------------------------------------------- expected values


def f32(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


def ply_positions(path):
    """The x, y, z of every vertex of a PLY file (ASCII or binary), as floats."""
    with open(path, "rb") as f:
        data = f.read()
    end = data.index(b"end_header")
    header = data[:end].decode("ascii").split("\n")
    body = data[data.index(b"\n", end) + 1:]
    encoding, elements = None, []
    for line in header:
        words = line.split()
        if words[:1] == ["format"]:
            encoding = words[1]
        elif words[:1] == ["element"]:
            elements.append((words[1], int(words[2]), []))
        elif words[:1] == ["property"]:
            elements[-1][2].append(words[1:])
    sizes = {"char": "b", "int8": "b", "uchar": "B", "uint8": "B", "short": "h", "int16": "h",
             "ushort": "H", "uint16": "H", "int": "i", "int32": "i", "uint": "I", "uint32": "I",
             "float": "f", "float32": "f", "double": "d", "float64": "d"}
    name, count, properties = elements[0]
    assert name == "vertex"
    names = [p[-1] for p in properties]
    axes = [names.index(a) for a in "xyz"]
    if encoding == "ascii":
        numbers = body.split()
        width = len(properties)
        return [tuple(float(numbers[i * width + a]) for a in axes) for i in range(count)]
    order = "<" if encoding == "binary_little_endian" else ">"
    assert all(p[0] != "list" for p in properties)
    record = struct.Struct(order + "".join(sizes[p[0]] for p in properties))
    return [tuple(float(v[a]) for a in axes) for v in
            (record.unpack_from(body, i * record.size) for i in range(count))]


def expected_setup_lines(path):
    """The distance and centre lines the program prints for the mesh at `path`:
    bounding box in single precision as the model computes it, distance in
    double rounded to float, printed as C++ prints a float (6 significant digits)."""
    positions = [tuple(f32(v) for v in p) for p in ply_positions(path)]
    lo = [min(p[a] for p in positions) for a in range(3)]
    hi = [max(p[a] for p in positions) for a in range(3)]
    centre = [f32(lo[a] + f32(f32(hi[a] - lo[a]) * 0.5)) for a in range(3)]
    half_extent = max(f32(hi[a] - centre[a]) for a in range(3))
    distance = f32(half_extent / math.tan(DISTANCE_ANGLE))
    return ["distance : %g" % distance, "centre : (%g, %g, %g)" % tuple(centre)]


# ---------------------------------------------------------------- behaviours


class Run:
    """What one behaviour gets: its folder, the X server and a way to start the program."""

    def __init__(self, options, xserver):
        self.options, self.xserver = options, xserver
        self.artifacts = options.artifact_dir
        self.programs = []

    def start(self, args=(), cwd=None, paused=False, wrapper=()):
        """Starts the program, as the last argument of `wrapper` when one is given."""
        command = list(wrapper) + [self.options.program] + list(args)
        program = Program(command[0], command[1:], cwd or self.options.source_dir,
                          self.xserver.display, self.artifacts, paused)
        self.programs.append(program)
        return program

    def temp_file(self, name, text):
        path = os.path.join(self.artifacts, name)
        with open(path, "w") as f:
            f.write(text)
        return path


def started_with_window(run_):
    program = run_.start()
    window = program.window()
    program.wait_frames(1)
    return program, window


def behaviour_window_and_output(run_):
    """No argument, from the repository root: the window, then the teapot's set-up
    lines followed by frame lines on standard output, and nothing else."""
    teapot = os.path.join(run_.options.source_dir, "data", "teapot.ply")
    if not os.path.exists(teapot):
        raise Failure(f"{teapot} is missing: the program has no default mesh")
    program = run_.start()
    window = program.window()
    name = run(["xdotool", "getwindowname", window], program.env).stdout.strip()
    check(name == TITLE, f"window title {name!r}, expected {TITLE!r}")
    geometry = run(["xdotool", "getwindowgeometry", "--shell", window], program.env).stdout
    values = dict(line.split("=", 1) for line in geometry.split())
    size = (int(values["WIDTH"]), int(values["HEIGHT"]))
    position = (int(values["X"]), int(values["Y"]))
    check(size == WINDOW_SIZE, f"window size {size}, expected {WINDOW_SIZE}")
    check(position == WINDOW_POSITION, f"window position {position}, expected {WINDOW_POSITION}")
    program.wait_frames(20)
    with program.condition:
        lines = list(program.lines)
    expected = expected_setup_lines(teapot)
    check(lines[:2] == expected, f"standard output begins {lines[:2]}, expected {expected}")
    for line in lines[2:]:
        match = FRAME_LINE.match(line)
        check(match is not None, f"unexpected standard output line {line!r}")
        check(0 <= float(match.group(1)) < 60, f"implausible render time in {line!r}")
    check(len(lines) >= 22, f"only {len(lines) - 2} frame lines")


def behaviour_extra_arguments(run_):
    """A path argument is used, further arguments are ignored."""
    mesh = run_.temp_file("cube.ply", ascii_ply(
        [(x, y, z) for x in (-1, 1) for y in (-1, 1) for z in (-1, 1)],
        [(0, 1, 3), (0, 3, 2), (4, 6, 7), (4, 7, 5), (0, 4, 5), (0, 5, 1),
         (2, 3, 7), (2, 7, 6), (0, 2, 6), (0, 6, 4), (1, 5, 7), (1, 7, 3)]))
    program = run_.start([mesh, "ignored.ply", "-x"])
    window = program.window()
    program.wait_frames(3)
    with program.condition:
        lines = list(program.lines)
    check(lines[:2] == ["distance : 1.44875", "centre : (0, 0, 0)"],
          f"standard output begins {lines[:2]}")
    check(all(FRAME_LINE.match(line) for line in lines[2:]), f"unexpected lines in {lines}")
    shown = program.hold_at(3)
    picture = program.screenshot(window, f"cube-frame{shown}")
    check(picture.lit_count((192, 192, 320, 320)) > 0.9 * 128 * 128,
          "the cube does not fill the middle of the window")


def ascii_ply(vertices, faces):
    lines = ["ply", "format ascii 1.0", f"element vertex {len(vertices)}", "property float x",
             "property float y", "property float z", f"element face {len(faces)}",
             "property list uchar int vertex_indices", "end_header"]
    lines += [" ".join(str(v) for v in vertex) for vertex in vertices]
    lines += [f"{len(face)} " + " ".join(str(i) for i in face) for face in faces]
    return "\n".join(lines) + "\n"


def upright_evidence(picture):
    """The teapot narrows towards its lid: the knob on the lid is its narrowest
    end, the base its broad one, at every angle of the turn. Returns, for the
    top and the bottom end of the lit rows, the widest of their 12 outermost
    rows and the lit pixels in their eighth of the lit rows."""
    rows = picture.lit_rows()
    lit = [y for y, n in enumerate(rows) if n]
    check(lit, f"{picture.path}: nothing is lit")
    top, bottom = lit[0], lit[-1]
    band = max(1, (bottom - top + 1) // 8)
    ends = 12
    return ((max(rows[top:top + ends]), sum(rows[top:top + band])),
            (max(rows[bottom - ends + 1:bottom + 1]), sum(rows[bottom - band + 1:bottom + 1])))


def check_teapot_picture(picture):
    size = picture.width
    middle = (size // 2 - 32, size // 2 - 32, size // 2 + 32, size // 2 + 32)
    check(picture.lit_count(middle) > 0.9 * 64 * 64,
          f"{picture.path}: the middle of the window is not lit")
    corner = 48
    for x, y in ((0, 0), (size - corner, 0), (0, size - corner), (size - corner, size - corner)):
        brightest = picture.max_channel((x, y, x + corner, y + corner))
        check(brightest == 0, f"{picture.path}: the corner at ({x}, {y}) is not black "
                              f"(a channel reaches {brightest})")
    (top_width, top_area), (bottom_width, bottom_area) = upright_evidence(picture)
    check(top_width < bottom_width and 1.2 * top_area < bottom_area,
          f"{picture.path}: not upright (the lid towards the top): the top end of the teapot is "
          f"{top_width} pixels wide with {top_area} lit pixels in its eighth, the bottom end "
          f"{bottom_width} wide with {bottom_area}")


def behaviour_teapot_picture(run_):
    """The teapot in the middle, black corners, the lid towards the top, at every
    third angle of the turn."""
    program, window = started_with_window(run_)
    for position in range(1, FRAMES_PER_TURN + 1, 3):
        check_teapot_picture(picture_at(program, window, position, "teapot"))


def behaviour_full_turn(run_):
    """Frame 37 (angle 360) shows the picture of frame 1 (angle 0); frame 2 (angle 10) does not."""
    for attempt in range(3):
        # The very first frame: the output is paused before the program writes anything.
        program = run_.start(paused=True)
        window = program.window()
        if program.hold_at(1) == 1:
            break
        program.stop()  # the pause came late (a loaded machine): start again
    else:
        raise Failure("could not hold the program on its first frame in 3 starts")
    first = program.screenshot(window, "frame1")
    shown = program.hold_at(2)
    check(shown % FRAMES_PER_TURN != 1, f"held on frame {shown}, at the angle of frame 1")
    second = program.screenshot(window, f"frame{shown}")
    shown = program.hold_at_turn_position(1)  # frame 37 unless the pause comes late
    turned = program.screenshot(window, f"frame{shown}")
    differing = first.differing_pixels(turned)
    print(f"frame {shown} differs from frame 1 in {differing} pixels")
    check(same_picture(first, turned), f"frame {shown} differs from frame 1 in {differing} pixels")
    differing = first.differing_pixels(second)
    check(differing >= CHANGED_PICTURE_PIXELS, f"{os.path.basename(second.path)} differs from "
                                               f"frame 1 in only {differing} pixels: the mesh "
                                               f"does not turn")
    check_teapot_picture(first)


def same_picture(a, b):
    """Pictures of frames at the same angle. Equal frame numbers modulo 36 give
    the same picture up to a few pixels: the sine of a whole number of turns,
    taken in single precision, is not exactly 0, so a few edge pixels may fall
    differently after full turns."""
    return a.differing_pixels(b) <= SAME_PICTURE_PIXELS


def check_changed(picture, before, what):
    differing = picture.differing_pixels(before)
    check(differing >= CHANGED_PICTURE_PIXELS,
          f"{what}: only {differing} pixels differ from {os.path.basename(before.path)}")
    return differing


def check_returned(picture, before, what):
    differing = picture.differing_pixels(before)
    check(differing <= SAME_PICTURE_PIXELS,
          f"{what}: {differing} pixels differ from {os.path.basename(before.path)}")


def picture_at(program, window, position, name):
    """The picture of the next frame at turn position `position`. The program
    stays held on that frame until the next hold_at or resume."""
    shown = program.hold_at_turn_position(position)
    return program.screenshot(window, f"{name}-frame{shown}")


def keyed_picture(program, window, key, position, name):
    """Presses `key`, lets a few frames pass, and returns the picture of the next
    frame at turn position `position`."""
    program.key(window, key)
    program.resume()
    program.wait_frames(program.frames() + 3)
    return picture_at(program, window, position, name)


POSITIONS = (4, 22)  # the spout to the right and, half a turn later, to the left


def behaviour_wireframe(run_):
    """w draws the edges only (far fewer lit pixels than filled), s fills again."""
    program, window = started_with_window(run_)
    for position in POSITIONS:
        filled = picture_at(program, window, position, "filled")
        wire = keyed_picture(program, window, "w", position, "wireframe")
        print(f"turn position {position}: {filled.lit_count()} lit pixels filled, "
              f"{wire.lit_count()} in wireframe")
        check(wire.lit_count() < 0.75 * filled.lit_count(),
              f"wireframe has {wire.lit_count()} lit pixels, filled {filled.lit_count()}")
        check(wire.lit_count() > 0.1 * filled.lit_count(), "the wireframe picture is nearly empty")
        check_changed(wire, filled, "after w")
        refilled = keyed_picture(program, window, "s", position, "filled-again")
        check_returned(refilled, filled, "after s")


SHADE_KEYS = {"g": "gouraud", "c": "cartoon", "p": "phong", "f": "flat"}


def behaviour_shade_models(run_):
    """c, p, f each change the picture (and differ from one another), g returns
    to the default Gouraud picture; the shape (the lit area) stays."""
    program, window = started_with_window(run_)
    for position in POSITIONS:
        pictures = {"g": picture_at(program, window, position, "gouraud")}
        for key in "cpf":
            pictures[key] = keyed_picture(program, window, key, position, SHADE_KEYS[key])
        again = keyed_picture(program, window, "g", position, "gouraud-again")
        gouraud = pictures["g"]
        for key in "cpf":
            picture = pictures[key]
            # The cartoon model draws a black outline along the silhouette.
            low = 0.8 if key == "c" else 0.98
            check(low * gouraud.lit_count() < picture.lit_count() < 1.02 * gouraud.lit_count(),
                  f"{SHADE_KEYS[key]}: {picture.lit_count()} lit pixels, Gouraud "
                  f"{gouraud.lit_count()}: a shade model should not change the shape")
            for other in "gcpf"[:"gcpf".index(key)]:
                differing = check_changed(picture, pictures[other], f"after {key}")
                print(f"turn position {position}: {SHADE_KEYS[key]} differs from "
                      f"{SHADE_KEYS[other]} in {differing} pixels")
        check_returned(again, gouraud, "after g")
        # The cartoon model bands the light into a few flat tones.
        shares = {key: pictures[key].share_of_commonest_colours(4) for key in "gcpf"}
        print(f"turn position {position}: share of the 4 commonest colours "
              + ", ".join(f"{SHADE_KEYS[k]} {v:.2f}" for k, v in shares.items()))
        check(shares["c"] > 0.6 and all(shares["c"] > 2 * shares[k] for k in "gpf"),
              f"the cartoon picture is not banded: {shares}")


def behaviour_front_face(run_):
    """z (front faces clockwise) changes the picture; a returns it."""
    program, window = started_with_window(run_)
    for position in POSITIONS:
        counter_clockwise = picture_at(program, window, position, "counter-clockwise")
        clockwise = keyed_picture(program, window, "z", position, "clockwise")
        check_changed(clockwise, counter_clockwise, "after z")
        again = keyed_picture(program, window, "a", position, "counter-clockwise-again")
        check_returned(again, counter_clockwise, "after a")


def behaviour_other_keys(run_):
    """Upper-case letters and keys outside the table change nothing."""
    program, window = started_with_window(run_)
    position = POSITIONS[0]
    before = picture_at(program, window, position, "before")
    for key in ("W", "Z", "C", "P", "F", "G", "S", "A", "x", "q", "space", "Return", "1"):
        program.key(window, key)
    after = keyed_picture(program, window, "Y", position, "after-other-keys")
    check_returned(after, before, "after upper-case letters and other keys")
    check(program.process.poll() is None, "other keys ended the program")


def behaviour_escape(run_):
    """Escape ends the process at once with status 0."""
    program, window = started_with_window(run_)
    program.wait_frames(5)
    pressed = time.monotonic()
    # xdotool may report an error: the window is gone before it finishes.
    subprocess.run(["xdotool", "key", "--window", window, "Escape"], env=program.env,
                   stdin=subprocess.DEVNULL, capture_output=True, timeout=WAIT)
    status = program.wait_exit(2.0)
    elapsed = time.monotonic() - pressed
    check(status is not None, "the program still runs 2 s after Escape")
    check(status == 0, f"exit status {status} after Escape, expected 0")
    program.wait_for(lambda: program.eof, "the end of standard output")
    with program.condition:
        check(all(FRAME_LINE.match(line) for line in program.lines[2:]),
              "unexpected standard output")
    print(f"ended {elapsed:.2f} s after Escape")


def behaviour_fatal_error(run_, path, message):
    program = run_.start([path])
    status = program.wait_exit(WAIT)
    check(status is not None, f"the program still runs {WAIT:.0f} s after start on {path}")
    program.wait_for(lambda: program.eof, "the end of standard output")
    for reader in program.readers:
        reader.join(5)
    with program.condition:
        stderr, lines = program.stderr, list(program.lines)
    check(status == 1, f"exit status {status}, expected 1")
    check(stderr == message.encode(), f"standard error {stderr!r}, expected {message!r}")
    check(lines == [] and program.partial == b"", f"standard output {lines}, expected nothing")


def behaviour_missing_file(run_):
    """A file that cannot be opened: the reader's message and status 1."""
    path = os.path.join(run_.artifacts, "no-such-mesh.ply")
    behaviour_fatal_error(run_, path, f"Error: (ReadPly) Cannot open file : {path}\n")


def behaviour_bad_header(run_):
    """A file whose header is not accepted: the reader's message and status 1."""
    path = run_.temp_file("bad-header.ply", "plx\nformat ascii 1.0\nend_header\n")
    behaviour_fatal_error(run_, path, "Error: (ReadPly) : invalid PLY header\n")


def behaviour_import_hint(run_):
    """A file the reader refuses and the import opens: the reader's message, then
    one line saying how to convert it and open the result."""
    path = run_.temp_file("alpha.ply", "ply\nformat ascii 1.0\nelement vertex 3\n"
                          "property float x\nproperty float y\nproperty float z\n"
                          "property uchar alpha\nelement face 1\n"
                          "property list uchar int vertex_indices\nend_header\n"
                          "0 0 0 9\n1 0 0 9\n0 1 0 9\n3 0 1 2\n")
    behaviour_fatal_error(
        run_, path,
        "Error: (ReadPly) : invalid PLY header: vertex property 'alpha' is not one this reader "
        "reads (x, confidence, red or r, u, nx)\n"
        f"Hint: the import reads this file: zbuffer-import {path} OUT.ply converts it, then "
        "zbuffer OUT.ply shows it\n")


def behaviour_memory(run_):
    """Resident memory after 1,000 frames is within 2 MiB of that after 50."""
    program, window = started_with_window(run_)
    shown = program.hold_at(50)
    early = program.rss_kib()
    shown_late = program.hold_at(1000, timeout=400)
    late = program.rss_kib()
    print(f"VmRSS {early} KiB after {shown} frames, {late} KiB after {shown_late} frames")
    check(abs(late - early) <= 2048, f"VmRSS {early} KiB after {shown} frames but {late} KiB "
                                     f"after {shown_late} frames")


def run_under_memcheck(run_, preload=None):
    """Set-up and three frames under valgrind's memcheck, then Escape; returns the
    exit status and memcheck's report. `preload` is put into the program."""
    if shutil.which("valgrind") is None:
        raise CannotRun("valgrind is not installed (Debian package valgrind)")
    log = os.path.join(run_.artifacts, "memcheck.log")
    suppressions = os.path.join(os.path.dirname(os.path.abspath(__file__)), "memcheck.supp")
    wrapper = ["env", f"LD_PRELOAD={preload}"] if preload else []
    program = run_.start(wrapper=wrapper + [
        "valgrind", f"--error-exitcode={MEMCHECK_ERRORS}", "--leak-check=full",
        "--show-leak-kinds=definite,indirect", "--errors-for-leak-kinds=definite,indirect",
        "--num-callers=40",
        f"--suppressions={suppressions}", f"--log-file={log}"])
    window = program.window()
    program.wait_frames(3, timeout=MEMCHECK_WAIT)
    subprocess.run(["xdotool", "key", "--window", window, "Escape"], env=program.env,
                   stdin=subprocess.DEVNULL, capture_output=True, timeout=WAIT)
    status = program.wait_exit(MEMCHECK_WAIT)
    with open(log, errors="replace") as f:
        report = f.read()
    check(status is not None, f"still running {MEMCHECK_WAIT:.0f} s after Escape")
    return status, report


def behaviour_memcheck(run_):
    """Set-up and three frames under valgrind's memcheck, then Escape: no invalid
    access, no use of uninitialised values, nothing definitely or indirectly
    lost. Errors inside the OpenGL and X libraries and the dynamic loader are
    theirs, not the program's, and are suppressed (memcheck.supp)."""
    status, report = run_under_memcheck(run_)
    check(status == 0, f"exit status {status} under memcheck; its report:\n{report}")
    print(report.strip().splitlines()[-1])


def behaviour_memcheck_catches_faults(run_):
    """The same run with a display callback that reads past a heap block and loses
    a block (display_fault, preloaded): memcheck, with the same suppressions,
    reports both and fails the run."""
    injector = run_.options.fault_injector
    if not injector or not os.path.exists(injector):
        raise CannotRun(f"no fault injector at {injector!r}")
    status, report = run_under_memcheck(run_, preload=injector)
    check(status == MEMCHECK_ERRORS,
          f"exit status {status} under memcheck with faults injected, not {MEMCHECK_ERRORS}")
    invalid_read = re.search(r"Invalid read of size 1\n(==\d+==\s+at .*\n)*.*FaultyDisplay",
                             report)
    check(invalid_read is not None, f"the read past the block was not reported:\n{report}")
    lost = re.search(r"bytes in \d+ blocks are definitely lost[^\n]*\n"
                     r"(==\d+==\s+(at|by) .*\n)*.*FaultyDisplay", report)
    check(lost is not None, f"the lost block was not reported:\n{report}")
    print("memcheck reported the injected invalid read and leak")


BEHAVIOURS = {
    "window_and_output": behaviour_window_and_output,
    "extra_arguments": behaviour_extra_arguments,
    "teapot_picture": behaviour_teapot_picture,
    "full_turn": behaviour_full_turn,
    "wireframe": behaviour_wireframe,
    "shade_models": behaviour_shade_models,
    "front_face": behaviour_front_face,
    "other_keys": behaviour_other_keys,
    "escape": behaviour_escape,
    "missing_file": behaviour_missing_file,
    "bad_header": behaviour_bad_header,
    "import_hint": behaviour_import_hint,
    "memory": behaviour_memory,
    "memcheck": behaviour_memcheck,
    "memcheck_catches_faults": behaviour_memcheck_catches_faults,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True, help="the zbuffer executable")
    parser.add_argument("--source-dir", required=True, help="the repository root")
    parser.add_argument("--fault-injector",
                        help="a library that makes the display callback faulty when preloaded")
    parser.add_argument("--artifacts", required=True,
                        help="folder for screenshots and logs, one sub-folder per behaviour")
    parser.add_argument("behaviour", choices=sorted(BEHAVIOURS))
    options = parser.parse_args()
    options.program = os.path.abspath(options.program)
    options.source_dir = os.path.abspath(options.source_dir)
    options.artifact_dir = os.path.abspath(os.path.join(options.artifacts, options.behaviour))
    shutil.rmtree(options.artifact_dir, ignore_errors=True)
    os.makedirs(options.artifact_dir)

    xserver = XServer(options.artifact_dir)
    run_ = Run(options, xserver)
    status, note = 0, ""
    try:
        if not WRITE_SYSCALLS:
            raise CannotRun(f"no write system call numbers known for {os.uname().machine}")
        if not os.access(options.program, os.X_OK):
            raise CannotRun(f"{options.program} is not an executable")
        xserver.start()
        BEHAVIOURS[options.behaviour](run_)
    except Failure as failure:
        status, note = 1, f"FAILED: {failure}"
    except CannotRun as problem:
        status, note = 2, f"COULD NOT RUN: {problem}"
    finally:
        for program in run_.programs:
            program.stop()
            if status != 0:
                program.save_output()
        xserver.stop()
    if status == 0:
        print(f"{options.behaviour}: passed")
        if os.environ.get("ZBUFFER_E2E_KEEP") != "1":
            shutil.rmtree(options.artifact_dir, ignore_errors=True)
        return 0
    with open(os.path.join(options.artifact_dir, "failure.txt"), "w") as f:
        f.write(note + "\n")
    print(f"{options.behaviour}: {note}", file=sys.stderr)
    print(f"screenshots and output kept in {options.artifact_dir}", file=sys.stderr)
    return status


if __name__ == "__main__":
    sys.exit(main())
