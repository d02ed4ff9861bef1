#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus: one input per published function with
arguments of the right kinds, and a few sequences that reach the deeper
states (a model with a source, a curve and a terrace with points).

Each call is: function index, host shape, argument count (below 192 means
as many as the function takes), then two bytes per argument: a kind (below 9
for a number from the fuzzer's list of special numbers, 11 for a small
integer) and its detail. See call_input.cpp."""
import os
import sys

# In the order the extension publishes them, with their argument kinds.
FUNCTIONS = [
    "NNN", "NNNNN", "NNNNNNN", "NNNNN", "NNNNN", "NNNNN", "NNNN", "NNNNN", "N", "N",  # LibNoise
    "B", "NNN", "NNN", "N", "N",  # Line
    "N", "NN", "N", "NN", "N", "NN",  # Plane, Sphere, Cylinder
    "N", "N", "N", "N", "N", "N", "NNN",  # M_Billow
    "NNN",  # M_CBoard
    "NN", "", "N",  # M_Curve
    "N", "NN",  # M_Cylinders
    "N", "N",  # M_Exponent
    "N", "N", "N", "N", "N", "N", "NNN",  # M_Perlin
    "N", "N", "N", "N", "N", "NNN",  # M_RidgedMulti
    "N", "NNN",  # M_Spheres
    "N", "", "N",  # M_Terrace
    "N", "N", "N", "N", "NNN",  # M_Turbulence
    "N", "N", "B", "N", "NNN",  # M_Voronoi
]
SHAPE_PREPARED = 0x48  # eight arguments and four results prepared
SMALL_INT = 11


def call(function, *small_ints, shape=SHAPE_PREPARED):
    """A call whose arguments are small integers (booleans: odd is true)."""
    data = bytes([function, shape, 0])
    for value in small_ints:
        data += bytes([SMALL_INT, value & 0xFF])
    return data


# The noise table's part (script_noise_calls.cpp): a marker byte, then one
# byte per decision of the script's statements.
NOISE_TABLE = 0xF0
CURVE, TERRACE = 7, 23  # in the fuzzer's list of classes


def point_list(pairs, count):
    """count distinct points (i / 4 - 1, and 1 as the output of a pair)."""
    data = bytes([count])
    for _ in range(count):
        data += bytes([1]) + (bytes([1]) if pairs else b"")
    return data


def construct(klass):
    return bytes([2, klass, 1]) + point_list(klass == CURVE, 4)


def restore_points(pairs):
    """O.points = four points again, for the object at P[1]."""
    return bytes([0, 5, 0, 0 if pairs else 1]) + point_list(pairs, 4)


def map_after_finalizer(depth, builder, change):
    """A finalizer `depth` cycles away that makes `change` (clear: 3, new
    points: 5), then a 16 x 16 map of O[1] by `builder` (0 to 2)."""
    data = bytes([8, depth, 0, change, 0])
    if change == 5:
        data += bytes([0]) + point_list(True, 1)
    bounds = bytes([1, 2, 1]) * 2
    return data + bytes([4, builder, 0]) + bounds + bytes([15, 15, 0, 0, 1])


def points_after_finalizer(depth):
    """A finalizer `depth` cycles away that clears P[1], then O[1].points."""
    return bytes([8, depth, 0, 3, 0, 3, 6, 0, 0])


def noise_table_seeds():
    seeds = {}
    for klass, name in ((CURVE, "curve"), (TERRACE, "terrace")):
        data = bytes([NOISE_TABLE]) + construct(klass)
        for depth in range(4):
            for builder in range(3):
                data += map_after_finalizer(depth, builder, 3) + restore_points(klass == CURVE)
        seeds["noise-table-map-%s" % name] = data
    data = bytes([NOISE_TABLE]) + construct(CURVE)
    for depth in range(4):
        data += points_after_finalizer(depth) + restore_points(True)
        data += map_after_finalizer(depth, 0, 5) + restore_points(True)
    seeds["noise-table-points"] = data
    return seeds


def main(directory):
    os.makedirs(directory, exist_ok=True)
    seeds = {}
    for index, kinds in enumerate(FUNCTIONS):
        args = [1 if kind == "B" else 0 for kind in kinds]
        seeds["function-%02d" % index] = call(index, *args) + call(index, *args, shape=0)
    line_set_module, line_calc = 13, 14
    curve_add, curve_calc, terrace_add, terrace_calc = 29, 31, 51, 53
    seeds["curve-and-terrace"] = (call(curve_add, 1, 2) + call(curve_add, 3, 4) +
                                  call(curve_add, 3, 5) + call(curve_calc, 2) +
                                  call(terrace_add, 1) + call(terrace_add, 5) +
                                  call(terrace_add, 5) + call(terrace_calc, 3))
    seeds["models-with-sources"] = (call(line_set_module, 3) + call(line_calc, 0) +
                                    call(curve_add, 0, 1) + call(line_calc, 1) +
                                    call(15, 9) + call(16, 0, 0) + call(terrace_add, 1) +
                                    call(terrace_add, 2) + call(16, 1, 1) + call(17, 6) +
                                    call(18, 10, 20) + call(19, 10) + call(20, 30, 1))
    seeds.update(noise_table_seeds())
    for name, data in seeds.items():
        with open(os.path.join(directory, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus"))
