"""What the end-to-end tests of the programs with a window share.

A private Xvfb server (1024 x 768 x 24, display number chosen by the server
itself through -displayfd, so parallel runs never collide), the program under
test with its standard output on a pseudo-terminal, xdotool to find its window
and press keys, ImageMagick's `import -window` for screenshots, and the driver
that runs one behaviour named on the command line:

    DRIVER.py --program PROGRAM --source-dir . --artifacts DIR BEHAVIOUR

Exit status 0 when the behaviour holds, 1 when it does not and 2 when the test
could not run at all (no Xvfb, no xdotool, ...): a test that cannot run fails,
it is never skipped. The screenshots, the program's output and a note on what
failed stay in DIR/BEHAVIOUR after a failing run; after a passing run that
folder is removed unless ZBUFFER_E2E_KEEP=1 is set in the environment. Only the
standard library and the programs xdotool, import and Xvfb are used.
"""

import argparse
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

SCREEN = "1024x768x24"
LIT = 24  # a pixel is lit when one of its channels exceeds this
WAIT = 20.0  # seconds for any one thing to happen


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

    def lit_box(self):
        """The smallest box (left, top, right, bottom, the last two exclusive)
        that holds every lit pixel; None when nothing is lit."""
        mask = self.lit_mask()
        rows = [y for y in range(self.height) if any(mask[y * self.width:(y + 1) * self.width])]
        columns = [x for x in range(self.width) if any(mask[x::self.width])]
        return (columns[0], rows[0], columns[-1] + 1, rows[-1] + 1) if rows else None

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
    """A program under test, its standard output on a pseudo-terminal we can
    pause. Its window is the one whose title matches TITLE_PATTERN (a regular
    expression, as xdotool search takes it)."""

    TITLE_PATTERN = None

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
        if paused:  # the program blocks on its first line until resumed
            termios.tcflow(self.slave, termios.TCOOFF)
        self.lines = []  # complete standard-output lines, without the newline
        self.partial = b""
        self.stderr = b""
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
                    self._took_line(self.lines[-1])
                self._took_lines()
                self.condition.notify_all()

    def _took_line(self, line):
        """Called with each line of standard output, holding the condition."""

    def _took_lines(self):
        """Called after the lines of each read, holding the condition."""

    def _read_stderr(self):
        for chunk in iter(lambda: self.process.stderr.read1(65536), b""):
            with self.condition:
                self.stderr += chunk

    def output_so_far(self):
        """What a timed-out wait says of the output read, holding the condition."""
        return f"{len(self.lines)} lines so far"

    def wait_for(self, predicate, what, timeout=WAIT):
        deadline = time.monotonic() + timeout
        with self.condition:
            while not predicate():
                left = deadline - time.monotonic()
                if left <= 0:
                    raise Failure(f"timed out after {timeout:.0f} s waiting for {what}; "
                                  f"{self.output_so_far()}")
                if self.eof and self.process.poll() is not None and not predicate():
                    raise Failure(f"the program ended (status {self.process.returncode}) while "
                                  f"waiting for {what}")
                self.condition.wait(min(left, 0.1))

    def resume(self):
        if self.slave is not None:
            termios.tcflow(self.slave, termios.TCOON)

    # -- window and keys

    def window_ids(self):
        """The ids of the windows whose title matches TITLE_PATTERN."""
        found = run(["xdotool", "search", "--name", self.TITLE_PATTERN], self.env,
                    check_status=False)
        return found.stdout.split()

    def window(self):
        """The id of the program's window (the only one with its title on this server)."""
        deadline = time.monotonic() + WAIT
        while True:
            ids = self.window_ids()
            if ids:
                check(len(ids) == 1, f"{len(ids)} windows titled {self.TITLE_PATTERN!r}: {ids}")
                return ids[0]
            if self.process.poll() is not None:
                raise Failure(f"the program ended (status {self.process.returncode}) before "
                              f"its window appeared")
            if time.monotonic() > deadline:
                raise Failure(f"no window titled {self.TITLE_PATTERN!r} within {WAIT:.0f} s")
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
        while self.window_ids() and time.monotonic() < deadline:
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


# ---------------------------------------------------------------- the driver


class Run:
    """What one behaviour gets: its folder, the X server and a way to start the program."""

    def __init__(self, options, xserver, program_class):
        self.options, self.xserver, self.program_class = options, xserver, program_class
        self.artifacts = options.artifact_dir
        self.programs = []

    def start(self, args=(), cwd=None, paused=False, wrapper=()):
        """Starts the program, as the last argument of `wrapper` when one is given."""
        command = list(wrapper) + [self.options.program] + list(args)
        program = self.program_class(command[0], command[1:], cwd or self.options.source_dir,
                                     self.xserver.display, self.artifacts, paused)
        self.programs.append(program)
        return program

    def temp_file(self, name, text):
        path = os.path.join(self.artifacts, name)
        with open(path, "w") as f:
            f.write(text)
        return path


def check_differs(picture, before, what, at_least):
    """At least `at_least` pixels of `picture` differ from `before`; returns how many."""
    differing = picture.differing_pixels(before)
    check(differing >= at_least,
          f"{what}: only {differing} pixels differ from {os.path.basename(before.path)}")
    return differing


def check_alike(picture, before, what, at_most):
    """At most `at_most` pixels of `picture` differ from `before`."""
    differing = picture.differing_pixels(before)
    check(differing <= at_most,
          f"{what}: {differing} pixels differ from {os.path.basename(before.path)}")


def check_fails_at_start(run_, path, message):
    """The program on the mesh `path` ends with status 1, `message` on standard
    error and nothing on standard output; returns the program."""
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
    return program


def drive(description, behaviours, program_class, add_options=None, precheck=None):
    """Runs the behaviour named on the command line; returns the exit status.

    `add_options(parser)` adds a driver's own options; `precheck()` may raise
    CannotRun before the X server starts."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--program", required=True, help="the program under test")
    parser.add_argument("--source-dir", required=True, help="the repository root")
    if add_options is not None:
        add_options(parser)
    parser.add_argument("--artifacts", required=True,
                        help="folder for screenshots and logs, one sub-folder per behaviour")
    parser.add_argument("behaviour", choices=sorted(behaviours))
    options = parser.parse_args()
    options.program = os.path.abspath(options.program)
    options.source_dir = os.path.abspath(options.source_dir)
    options.artifact_dir = os.path.abspath(os.path.join(options.artifacts, options.behaviour))
    shutil.rmtree(options.artifact_dir, ignore_errors=True)
    os.makedirs(options.artifact_dir)

    xserver = XServer(options.artifact_dir)
    run_ = Run(options, xserver, program_class)
    status, note = 0, ""
    try:
        if precheck is not None:
            precheck()
        if not os.access(options.program, os.X_OK):
            raise CannotRun(f"{options.program} is not an executable")
        xserver.start()
        behaviours[options.behaviour](run_)
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
