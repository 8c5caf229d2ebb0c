#!/usr/bin/env python3
"""Writes the fuzzers' seeds. Into fuzz/corpus/, the PLY fuzzer's: small valid files in
every encoding, with every combination of the optional vertex groups, quads,
a 255-corner face, faces of 0 and 2 corners and the header forms the reader
accepts. The last byte of each file chooses the fuzzer's shade model,
wireframe, front face and angle (see ply_fuzzer.cpp); it lies after the faces,
where the reader never looks, and differs from file to file so that every mode
starts with seeds.

The import fuzzer reads those too, and its own seeds in fuzz/import_corpus/:
PLY files only the complete reader opens, OBJ and STL.

    fuzz/make_seeds.py            # rewrites fuzz/corpus/*.ply and fuzz/import_corpus/*
"""

import itertools
import math
import pathlib
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"
ENCODINGS = ("ascii", "binary_little_endian", "binary_big_endian")

# Optional vertex groups: property names, type word, binary format of one value.
GROUPS = {
    "confidence": (("confidence",), "float", "f"),
    "color": (("red", "green", "blue"), "uchar", "B"),
    "texcoord": (("u", "v"), "float", "f"),
    "normal": (("nx", "ny", "nz"), "float", "f"),
}
POSITION = (("x", "y", "z"), "float", "f")
SHORT_COLOR = (("r", "g", "b"), "uchar", "B")  # the colour group under its short names

# A tetrahedron, faces counter-clockwise seen from outside.
TETRA_POINTS = [(0, 0, 0), (1, 0, 0), (0, 1, 0), (0, 0, 1)]
TETRA_FACES = [(0, 2, 1), (0, 1, 3), (0, 3, 2), (1, 2, 3)]
CUBE_POINTS = [(x, y, z) for x in (0, 1) for y in (0, 1) for z in (0, 1)]
CUBE_QUADS = [(0, 1, 3, 2), (4, 6, 7, 5), (0, 4, 5, 1), (2, 3, 7, 6), (0, 2, 6, 4), (1, 5, 7, 3)]


def group_values(name, point, index):
    """The values of one vertex group for the vertex at `point`."""
    if name == "position":
        return point
    if name == "confidence":
        return (index / 4,)
    if name in ("color", "rgb"):
        return (index * 60 % 256, 255 - index * 30 % 256, 128)
    if name == "texcoord":
        return (point[0], point[1])
    centre = (0.25, 0.25, 0.25)
    d = [p - c for p, c in zip(point, centre)]
    length = math.sqrt(sum(v * v for v in d)) or 1.0
    return tuple(v / length for v in d)


def group_spec(name):
    return {"position": POSITION, "rgb": SHORT_COLOR}.get(name) or GROUPS[name]


def header(encoding, groups, vertex_count, face_count, line_end="\n", extra=""):
    lines = ["ply", f"format {encoding} 1.0", "comment seed for the PLY fuzzer",
             f"element vertex {vertex_count}"]
    for name in groups:
        names, type_word, _ = group_spec(name)
        lines += [f"property {type_word} {n}" for n in names]
    lines += [f"element face {face_count}", "property list uchar int vertex_indices"]
    lines += extra.splitlines()
    lines.append("end_header")
    return line_end.join(lines) + line_end


def number_text(value):
    return str(value) if isinstance(value, int) else repr(float(value))


def body(encoding, groups, points, faces, line_end="\n"):
    if encoding == "ascii":
        text = ""
        for i, point in enumerate(points):
            values = [v for name in groups for v in group_values(name, point, i)]
            text += " ".join(number_text(v) for v in values) + line_end
        for face in faces:
            text += " ".join(str(v) for v in (len(face), *face)) + line_end
        return text.encode()
    order = ">" if encoding == "binary_big_endian" else "<"
    data = b""
    for i, point in enumerate(points):
        for name in groups:
            kind = group_spec(name)[2]
            data += b"".join(struct.pack(order + kind, v) for v in group_values(name, point, i))
    for face in faces:
        data += struct.pack("B", len(face)) + struct.pack(f"{order}{len(face)}i", *face)
    return data


def mesh_file(encoding, groups, points, faces, line_end="\n", extra=""):
    text = header(encoding, groups, len(points), len(faces), line_end, extra)
    return text.encode() + body(encoding, groups, points, faces, line_end)


def seeds():
    """(name, bytes) of every seed, without the trailing mode byte."""
    optional = list(GROUPS)
    for encoding in ENCODINGS:
        for size in range(len(optional) + 1):
            for chosen in itertools.combinations(optional, size):
                groups = ("position", *chosen)
                name = f"tetra_{encoding}_{'_'.join(groups)}"
                yield name, mesh_file(encoding, groups, TETRA_POINTS, TETRA_FACES)
        yield f"cube_quads_{encoding}", mesh_file(encoding, ("position",), CUBE_POINTS, CUBE_QUADS)
        yield (f"tetra_{encoding}_normal_before_position",
               mesh_file(encoding, ("normal", "color", "position"), TETRA_POINTS, TETRA_FACES))
    ring = [(round(100 * math.cos(a)), round(100 * math.sin(a)), 0)
            for a in (2 * math.pi * i / 255 for i in range(255))]
    for encoding in ("ascii", "binary_little_endian"):
        yield f"polygon_255_corners_{encoding}", mesh_file(encoding, ("position",), ring, [range(255)])
    odd_faces = [(), (0, 1), (0, 2, 1), (1, 2, 3)]
    yield "empty_and_two_corner_faces", mesh_file("ascii", ("position",), TETRA_POINTS, odd_faces)
    yield "crlf_lines", mesh_file("ascii", ("position", "normal"), TETRA_POINTS, TETRA_FACES, "\r\n")
    yield ("lone_cr_lines_binary",
           mesh_file("binary_little_endian", ("position",), TETRA_POINTS, TETRA_FACES, "\r"))
    yield ("element_after_faces",
           mesh_file("ascii", ("position",), TETRA_POINTS, TETRA_FACES,
                     extra="element edge 1\nproperty int vertex1"))
    yield "colour_named_r_g_b", mesh_file("ascii", ("position", "rgb"), TETRA_POINTS, TETRA_FACES)
    yield ("ascii_normals_typed_double",
           mesh_file("ascii", ("position", "normal"), TETRA_POINTS, TETRA_FACES)
           .replace(b"float nx", b"double nx"))


IMPORT_CORPUS = CORPUS.parent / "import_corpus"


def import_seeds():
    """(file name, bytes) of the import fuzzer's own seeds: PLY the canonical
    reader refuses, OBJ and STL. OBJ and binary STL start with '#' and a
    byte that gives them their extension (see import_fuzzer.cpp)."""
    xyz = "property {0} x\nproperty {0} y\nproperty {0} z\n"
    tetra = "".join(f"{x} {y} {z}\n" for x, y, z in TETRA_POINTS)
    faces = "".join(f"3 {a} {b} {c}\n" for a, b, c in TETRA_FACES)
    start = "ply\nformat ascii 1.0\nobj_info seed\n"
    yield "double_face_first.ply", (
        start + "element face 4\nproperty uchar flags\nproperty list int uint vertex_index\n"
        "element vertex 4\n" + xyz.format("double") + "property ushort red\nproperty ushort green\n"
        "property ushort blue\nproperty float alpha\nend_header\n"
        + "".join("0 " + f for f in faces.splitlines(True))
        + "".join(f"{p.strip()} 65535 0 300 0.5\n" for p in tetra.splitlines())).encode()
    yield "strips_and_camera.ply", (
        start + "element camera 1\nproperty float view\nproperty list uchar int junk\n"
        "element vertex 4\n" + xyz.format("float") + "property float s\nproperty float t\n"
        "element tristrips 1\nproperty list int int vertex_indices\nend_header\n"
        "1 2 7 8\n" + "".join(f"{p.strip()} 0.5 0.5\n" for p in tetra.splitlines())
        + "7 0 1 2 -1 1 2 3\n").encode()
    yield "point_cloud.ply", (start + "element vertex 4\n" + xyz.format("float")
                              + "property float nx\nproperty float ny\nproperty float nz\n"
                              "end_header\n" + "".join(f"{p.strip()} 0 0 1\n" for p in tetra.splitlines())).encode()
    obj = "#1 seed\nv 0 0 0 1 0 0\nv 1 0 0 0 1 0\nv 0 1 0 0 0 1\nv 0 0 1 1 1 1\nvt 0 0\nvn 0 0 1\n"
    obj += "g a\nf 1/1/1 3/1/1 2/1/1\nf -4 -3 -1\ng b\nf 1//1 4//1 3//1\nf 2 3 4\np 1\nl 1 2\n"
    yield "tetra.obj", obj.encode()
    facets = [(TETRA_POINTS[a], TETRA_POINTS[b], TETRA_POINTS[c]) for a, b, c in TETRA_FACES]
    ascii_stl = "solid seed\n" + "".join(
        "facet normal 0 0 0\nouter loop\n" + "".join(f"vertex {x} {y} {z}\n" for x, y, z in f)
        + "endloop\nendfacet\n" for f in facets) + "endsolid seed\n"
    yield "tetra_ascii.stl", ascii_stl.encode()
    binary = b"#2" + b" " * 78 + struct.pack("<I", len(facets))
    for f in facets:
        binary += struct.pack("<3f", 0, 0, 0) + b"".join(struct.pack("<3f", *p) for p in f) + b"\0\0"
    yield "tetra_binary.stl", binary
    yield "tetra_binary_solid.stl", b"solid" + binary[5:]


def main():
    IMPORT_CORPUS.mkdir(exist_ok=True)
    for name, data in import_seeds():
        (IMPORT_CORPUS / name).write_bytes(data)
    CORPUS.mkdir(exist_ok=True)
    for old in CORPUS.glob("*.ply"):
        old.unlink()
    for index, (name, data) in enumerate(seeds()):
        modes = (index % 16) | (index * 7 % 16) << 4
        (CORPUS / f"{name}.ply").write_bytes(data + bytes([modes]))


if __name__ == "__main__":
    main()
