// The map page's decisions from the metadata, without a browser: which
// pyramids get a 3D view, the terrain's exaggeration, the plane's point under
// the cursor, the pixel read for a height. Usage: node relief_cases.mjs
import assert from "node:assert/strict";
import {
  planePoint, reliefExaggeration, reliefPlan, terrainRgbTimes, WORLD_METRES,
} from "../../programs/noisebind/tiles-page/src/relief.js";
import { ElevationReader } from "../../programs/noisebind/tiles-page/src/elevation.js";

const plane = (format, bounds = [0, 0, 4, 4], heightScale = 1000) =>
  ({ surface: "plane", format, bounds, style: { heightScale } });
const sphere = { surface: "sphere", format: "terrain-rgb", bounds: [-180, -90, 180, 90] };
const noView = (why) => ({ why });
// A pixel's height through a raster-dem encoding, as MapLibre unpacks it.
const unpack = (factor, [r, g, b]) => {
  const e = terrainRgbTimes(factor);
  return r * e.redFactor + g * e.greenFactor + b * e.blueFactor - e.baseShift;
};

// The pixel an elevation pyramid's reader takes at (gx, gy) of its deepest
// level, its tiles' pixels all 0 m except pixel 0, 0: 0.5 m.
const pixelAt = async (surface, maxzoom, tileSize, gx, gy) => {
  const reader = new ElevationReader({ surface, maxzoom, tileSize }, "elevation", null);
  const rgba = new Uint8ClampedArray(tileSize * tileSize * 4);
  for (let i = 0; i < rgba.length; i += 4) rgba.set([1, 134, 160, 255], i);
  rgba.set([1, 134, 165, 255], 0);
  reader.pixels = async () => ({ data: rgba });
  return reader.sampleAt(gx, gy);
};

const cases = [
  ["reader: a tile's first pixel", pixelAt, ["plane", 2, 4, 4, 8], { height: 0.5, column: 4, row: 8 }],
  ["reader: the pixel's far edge is the next pixel", pixelAt, ["plane", 2, 4, 5, 8.999],
    { height: 0, column: 5, row: 8 }],
  ["reader: the sphere's last column at level 30", pixelAt, ["sphere", 30, 256, 2 ** 39 - 0.5, 0],
    { height: 0, column: 2 ** 39 - 1, row: 0 }],
  ["reader: beyond the plane's last column", pixelAt, ["plane", 2, 4, 16, 0], null],
  ["reader: left of the plane", pixelAt, ["plane", 2, 4, -0.001, 0], null],
  ["reader: nowhere (NaN)", pixelAt, ["plane", 2, 4, NaN, 0], null],
  ["terrain-RGB plane: its own relief", reliefPlan, [plane("terrain-rgb"), null],
    { dem: "pyramid", drape: false }],
  ["terrain-RGB plane with a coloured twin given as elevation: still its own", reliefPlan,
    [plane("terrain-rgb"), plane("png")], { dem: "pyramid", drape: false }],
  ["coloured plane over its terrain-RGB twin", reliefPlan,
    [plane("png"), plane("terrain-rgb")], { dem: "elevation", drape: true }],
  ["coloured plane, twin of other bounds: the colours would not fit", reliefPlan,
    [plane("png"), plane("terrain-rgb", [0, 0, 2, 2])],
    noView("3D needs terrain-RGB tiles of the plane (--format terrain-rgb)")],
  ["heightmap16 plane: not terrain-RGB", reliefPlan, [plane("heightmap16"), null],
    noView("3D needs terrain-RGB tiles of the plane (--format terrain-rgb)")],
  ["coloured plane over a sphere's heights", reliefPlan, [plane("png"), sphere],
    noView("3D needs terrain-RGB tiles of the plane (--format terrain-rgb)")],
  ["sphere, even in terrain-RGB", reliefPlan, [sphere, null],
    noView("3D needs a plane pyramid: the sphere's tiles are equirectangular, not Web Mercator")],
  ["no metadata", reliefPlan, [null, null], noView("no pyramid")],
  // A tenth of the world's width for the values' span of 2.
  ["exaggeration at the equator", reliefExaggeration, [plane("terrain-rgb"), 0],
    (0.1 * WORLD_METRES) / 2000],
  ["exaggeration halves at 60 degrees, as Mercator's metres do", reliefExaggeration,
    [plane("terrain-rgb"), 60], (0.1 * WORLD_METRES * Math.cos(Math.PI / 3)) / 2000],
  ["exaggeration falls as the height scale grows", reliefExaggeration,
    [plane("terrain-rgb", [0, 0, 4, 4], 4000), 0], (0.1 * WORLD_METRES) / 8000],
  ["exaggeration without a height scale", reliefExaggeration, [{ bounds: [0, 0, 1, 1] }, 0], 1],
  ["exaggeration with a zero height scale", reliefExaggeration, [plane("terrain-rgb", [0, 0, 1, 1], 0), 0], 1],
  // Code 1 * 65536 + 134 * 256 + 165 = 100005: 0.5 m.
  ["terrain-RGB times 1 is terrain-RGB", unpack, [1, [1, 134, 165]], 0.5],
  ["terrain-RGB times 3, for shading", unpack, [3, [1, 134, 165]], 1.5],
  ["terrain-RGB times 3 at code 0", unpack, [3, [0, 0, 0]], -30000],
  ["plane point: the top left is x0, z0", planePoint, [[-0.5, -1, 3.5, 3], 0, 0], { x: -0.5, z: -1 }],
  ["plane point: rows run down from z0", planePoint, [[-0.5, -1, 3.5, 3], 0.25, 0.75], { x: 0.5, z: 2 }],
  ["plane point: reversed bounds", planePoint, [[4, 4, 0, 0], 0.25, 0.5], { x: 3, z: 2 }],
];

let failed = 0;
for (const [what, fn, args, expected] of cases) {
  try {
    const got = await fn(...args);
    if (typeof expected === "number") assert.ok(Math.abs(got - expected) <= 1e-9 * (1 + Math.abs(expected)), `${got}`);
    else assert.deepEqual(got, expected);
  } catch (error) {
    ++failed;
    console.error(`FAIL: ${what}: ${error.message}`);
  }
}
if (failed) process.exit(1);
console.log(`relief cases: ${cases.length} passed`);
