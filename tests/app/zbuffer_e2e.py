#!/usr/bin/env python3
"""End-to-end tests of the zbuffer window program in a real X window.

Each run starts its own Xvfb server, starts the real program in it, drives it
with xdotool, takes screenshots and checks one behaviour, named on the command
line (e2e_support.py has what this shares with the viewer's tests):

    zbuffer_e2e.py --program build/zbuffer --source-dir . --artifacts DIR BEHAVIOUR

Exact frames. The mesh turns 10 degrees a frame, so equal frame numbers modulo
36 give the same picture (up to a few pixels). The program's standard output is a pseudo-terminal
here, and the driver stops that terminal's output (tcflow TCOOFF) as soon as it
has read the "Tps de rendu" line of frame k. The program then renders frame
k + 1 and blocks in write() on its line, before it uploads and shows frame
k + 1: once it is seen blocked there (/proc/PID/syscall), the window shows
exactly frame k, the number of frame lines read so far.
"""

import math
import os
import re
import shutil
import struct
import subprocess
import sys
import termios
import time

from e2e_support import (WAIT, CannotRun, Failure, Program, check, check_alike, check_differs,
                         check_fails_at_start, drive, run)

TITLE = "Z-Buffer - OpenGL"
WINDOW_SIZE = (512, 512)
WINDOW_POSITION = (200, 200)
FRAMES_PER_TURN = 36  # 10 degrees a frame
DISTANCE_ANGLE = 0.6041524723549063
FRAME_LINE = re.compile(r"^Tps de rendu : (\d+(?:\.\d+)?(?:e[-+]\d+)?) s$")
MEMCHECK_WAIT = 300.0  # under valgrind everything is some 50 times slower
MEMCHECK_ERRORS = 99  # valgrind's exit status when it found errors
SAME_PICTURE_PIXELS = 100  # at most this many differ between pictures at the same angle
CHANGED_PICTURE_PIXELS = 2000  # at least this many differ after a key that changes the picture


# System call numbers of write and writev, as /proc/PID/syscall shows them.
WRITE_SYSCALLS = {"x86_64": (1, 20), "aarch64": (64, 66)}.get(os.uname().machine, ())



# ---------------------------------------------------------------- the program


class WindowProgram(Program):
    """The zbuffer process; its frame lines let the driver hold it on a frame."""

    TITLE_PATTERN = "^" + re.escape(TITLE) + "$"

    def __init__(self, *args, **kwargs):
        self.frame_lines = 0  # "Tps de rendu" lines among the lines read
        self.freeze_after = None  # stop the output once this many frame lines are read
        super().__init__(*args, **kwargs)

    def _took_line(self, line):
        self.frame_lines += line.startswith("Tps de rendu")

    def _took_lines(self):
        if self.freeze_after is not None and self.frames() >= self.freeze_after:
            termios.tcflow(self.slave, termios.TCOOFF)
            self.freeze_after = None

    def output_so_far(self):
        return f"{self.frames()} frame lines so far"

    def frames(self):
        """Frame lines read so far."""
        return self.frame_lines

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
    return check_differs(picture, before, what, CHANGED_PICTURE_PIXELS)


def check_returned(picture, before, what):
    check_alike(picture, before, what, SAME_PICTURE_PIXELS)


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
    check_fails_at_start(run_, path, message)


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


def check_write_syscalls():
    if not WRITE_SYSCALLS:
        raise CannotRun(f"no write system call numbers known for {os.uname().machine}")


def add_options(parser):
    parser.add_argument("--fault-injector",
                        help="a library that makes the display callback faulty when preloaded")


if __name__ == "__main__":
    sys.exit(drive(__doc__.split("\n\n")[0], BEHAVIOURS, WindowProgram, add_options,
                   check_write_syscalls))
