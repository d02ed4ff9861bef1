#!/usr/bin/env python3
"""Writes the batch fuzzer's seed corpus: every generator on every path at
libnoise's default settings, and at settings near their extremes, over
ordinary points, lattice points and edge coordinates; then graphs over some
of them whose nodes are read by several others. See batch_input.h and
batch_graph.h for the layout."""
import os
import struct
import sys

GENERATORS = ["Perlin", "Billow", "RidgedMulti", "Voronoi", "Spheres", "Cylinders",
              "Checkerboard", "Const"]
PATHS = 3  # portable, avx2, avx512: taken modulo the paths the machine runs


def edge(index):
    """The index-th of the tests' edge coordinates (subjects.cpp)."""
    return bytes([0, index])


def nudged(index, steps):
    return bytes([((steps + 4) << 2) | 1, index])


def fixed(value, exponent=0):
    """value (a multiple of 1/256 in [-128, 128)) times 2^exponent."""
    return bytes([((exponent + 16) << 2) | 2]) + struct.pack("<h", round(value * 256))


def raw(value):
    return bytes([3]) + struct.pack("<d", value)


def case(generator, path, points, octaves=5, quality=1, seed=0, frequency=raw(1.0),
         lacunarity=raw(2.0), persistence=raw(0.5), displacement=raw(1.0),
         constant=raw(0.0), distance=0, layout=b""):
    data = bytes([generator, path, octaves, quality]) + struct.pack("<i", seed)
    data += frequency + lacunarity + persistence + displacement + constant
    data += bytes([distance, len(points)])
    for point in points:
        data += b"".join(point)
    return data + layout


# Kinds in the order of engine/graph/classes_table.h.
KINDS = ["Abs", "Add", "Billow", "Blend", "Cache", "Checkerboard", "Clamp", "Const", "Curve",
         "Cylinders", "Displace", "Exponent", "Invert", "Max", "Min", "Multiply", "Perlin",
         "Power", "RidgedMulti", "RotatePoint", "ScaleBias", "ScalePoint", "Select", "Spheres",
         "Terrace", "TranslatePoint", "Turbulence", "Voronoi"]


def node(kind, sources, settings=b""):
    return bytes([KINDS.index(kind)] + sources) + settings


def graph(*nodes):
    """The generator is node 0; each node's sources index the nodes before it."""
    return bytes([len(nodes) + 1]) + b"".join(nodes)


def graphs():
    return {
        "diamond": graph(node("Abs", [0]), node("ScaleBias", [0], fixed(0.5) + fixed(0.25)),
                         node("Add", [1, 2])),
        "fan": graph(node("TranslatePoint", [0], fixed(0.5) + fixed(0) + fixed(0)),
                     node("Add", [0, 1]), node("Max", [1, 2]), node("Blend", [1, 2, 0]),
                     node("Multiply", [4, 1])),
        "selected": graph(node("Abs", [0]), node("Invert", [0]),
                          node("Select", [1, 2, 0], fixed(-0.5) + fixed(0.5) + fixed(0.2)),
                          node("Displace", [3, 0, 1, 2]),
                          node("Turbulence", [4], fixed(1) + fixed(0.3) + bytes([2]) +
                               struct.pack("<i", 5))),
        "doubling": graph(*[node("Add", [i, i]) for i in range(8)]),
    }


def ordinary_points():
    return [(fixed(0.37 * i - 3.0), fixed(0.25 * i), fixed(-1.5 + 0.61 * i, 2)) for i in range(19)]


def edge_points():
    return [(edge(i), nudged(i * 7 % 43, i % 9 - 4), edge((i * 11) % 43)) for i in range(43)]


def cases():
    result = {}
    for g, name in enumerate(GENERATORS):
        for path in range(PATHS):
            result[f"{name}-{path}-default"] = case(g, path, ordinary_points(), distance=1)
            result[f"{name}-{path}-edges"] = case(
                g, path, edge_points(), octaves=29, quality=2, seed=-2147483648,
                frequency=fixed(3.25), lacunarity=nudged(4, 1), persistence=fixed(-0.75))
        result[f"{name}-far"] = case(
            g, 0, [(raw(1e10), raw(-2147483650.5), fixed(1.25, 30)) for _ in range(9)],
            octaves=30, quality=3, seed=2147483647, frequency=raw(1e9), distance=1)
    # Rows as maps lay them: one long row, rows of ten, and one row over the
    # edge coordinates' x.
    for name in ["Perlin", "Billow", "RidgedMulti"]:
        g = GENERATORS.index(name)
        for path in range(PATHS):
            row = [(fixed(-2.5), fixed(0.75), fixed(-1.25, 3))] * 64
            result[f"{name}-{path}-row"] = case(g, path, row, layout=bytes([1]) + fixed(1 / 64))
            result[f"{name}-{path}-rows"] = case(g, path, ordinary_points(), octaves=8,
                                                 layout=bytes([2, 9]) + fixed(0.37))
        result[f"{name}-edge-row"] = case(g, 0, edge_points(), octaves=30, layout=bytes([3]))
    # Graphs over the generator, after the points and a layout byte of 0
    # (the points as they are).
    for g in (0, 3, 7):  # Perlin, Voronoi, Const
        for path in range(PATHS):
            for shape, data in graphs().items():
                name = GENERATORS[g]
                result[f"{name}-{path}-{shape}"] = case(g, path, ordinary_points(), layout=bytes([0])) + data
    return result


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__),
                                                                "batch_corpus")
    os.makedirs(folder, exist_ok=True)
    for name, data in cases().items():
        with open(os.path.join(folder, name), "wb") as file:
            file.write(data)


if __name__ == "__main__":
    main()
