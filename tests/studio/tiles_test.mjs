// The studio's preview and the tiles share one function that makes a tile:
// each tile the studio serves must be the tile `noisebind tiles` writes for
// the same graph, grid and address, byte for byte; and the values the page
// colours must be the values that tile encodes.
// Usage: node tiles_test.mjs NOISEBIND GRAPH OUTPUT
import { execFileSync } from "node:child_process";
import { copyFileSync, mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { inflateSync } from "node:zlib";
import { check, startStudio, stopStudio } from "./studio_process.mjs";

const [program, graphFile, output] = process.argv.slice(2);
const folder = mkdtempSync(join(tmpdir(), "studio-tiles-"));
const graphPath = join(folder, "graph.json");
copyFileSync(graphFile, graphPath);
const graph = readFileSync(graphPath, "utf8");

// The studio's plane grid is the page's; the others are any grid's.
const cases = [
  { what: "the western hemisphere at level 0, coloured and lit", surface: "sphere", z: 0, x: 0, y: 0, size: 64, format: "png" },
  { what: "a tile of the sphere at level 2, terrain-RGB", surface: "sphere", z: 2, x: 5, y: 1, size: 32, format: "terrain-rgb" },
  { what: "the page's plane at its first view's level", surface: "plane", bounds: [-1024, 1024, -1024, 1024], z: 9, x: 256, y: 256, size: 32, format: "heightmap16" },
  { what: "a plane of other bounds, coloured and lit", surface: "plane", bounds: [-1.5, 2.5, 0.25, 3.25], z: 2, x: 3, y: 2, size: 16, format: "png" },
  { what: "the values the page colours, as the command's terrain-RGB codes them", surface: "sphere", z: 1, x: 1, y: 1, size: 32, format: "values", heightScale: 1e6 },
  { what: "the values of the page's plane, as the command codes them", surface: "plane", bounds: [-1024, 1024, -1024, 1024], z: 10, x: 513, y: 511, size: 24, format: "values", heightScale: 1e6 },
];

// The tile as the command writes it: a job whose share is that tile alone.
function commandTile(c) {
  const across = (c.surface === "sphere" ? 2 : 1) * 2 ** c.z;
  const out = join(folder, "pyramid");
  rmSync(out, { recursive: true, force: true });
  const grid = c.surface === "sphere" ? ["--sphere"] : ["--plane", c.bounds.join(",")];
  const format = c.format === "values" ? "terrain-rgb" : c.format;
  const extra = c.heightScale ? ["--height-scale", String(c.heightScale)] : [];
  execFileSync(program, [
    "tiles", graphPath, "--output", output, ...grid, "--zoom", String(c.z), "--tile", String(c.size),
    "--format", format, ...extra, "--job", String(c.y * across + c.x), "--of", String(across * 2 ** c.z),
    "--threads", "1", "--out", out, "--quiet",
  ]);
  return readFileSync(join(out, String(c.z), String(c.x), `${c.y}.png`));
}

// The pixels of an 8-bit RGB PNG as libpng writes the tiles: one IDAT
// stream, no interlace, rows filtered.
function rgbPixels(png) {
  const width = png.readUInt32BE(16);
  const height = png.readUInt32BE(20);
  check(png[24] === 8 && png[25] === 2 && png[28] === 0, "the tile is 8-bit RGB, not interlaced");
  const data = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at);
    if (png.toString("latin1", at + 4, at + 8) === "IDAT") data.push(png.subarray(at + 8, at + 8 + length));
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * 3;
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let i = 0; i < stride; ++i) {
      const x = raw[y * (stride + 1) + 1 + i];
      const a = i >= 3 ? pixels[y * stride + i - 3] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + i] : 0;
      const c = i >= 3 && y > 0 ? pixels[(y - 1) * stride + i - 3] : 0;
      const p = a + b - c;
      const paeth = Math.abs(p - a) <= Math.abs(p - b) && Math.abs(p - a) <= Math.abs(p - c) ? a : Math.abs(p - b) <= Math.abs(p - c) ? b : c;
      const predictor = [0, a, b, (a + b) >> 1, paeth][filter];
      pixels[y * stride + i] = (x + predictor) & 255;
    }
  }
  return pixels;
}

// As the tiles command codes a height: tenths of metres from -10000 m.
function terrainRgbCode(value, heightScale) {
  const tenths = (value * heightScale + 10000) * 10;
  if (!(tenths > 0)) return 0;
  if (tenths >= 0xffffff) return 0xffffff;
  const whole = Math.floor(tenths);
  return tenths - whole >= 0.5 ? whole + 1 : whole;
}

const studio = await startStudio(program, graphPath);
try {
  const origin = new URL(studio.url).origin;
  const headers = { "X-Studio-Token": studio.token, "Content-Type": "application/json" };
  for (const c of cases) {
    const tile = { surface: c.surface, z: c.z, x: c.x, y: c.y, size: c.size };
    if (c.bounds) tile.bounds = c.bounds;
    const response = await fetch(`${origin}/api/tile`, {
      method: "POST",
      headers,
      body: JSON.stringify({ graph, target: { output }, tile, format: c.format, page: "tiles-test" }),
    });
    const body = Buffer.from(await response.arrayBuffer());
    check(response.status === 200, response.status === 200 ? `${c.what}: served` : `${c.what}: status ${response.status}: ${body}`);
    const written = commandTile(c);
    if (c.format !== "values") {
      check(body.equals(written), `${c.what}: the bytes of the command's ${c.z}/${c.x}/${c.y}.png`);
      continue;
    }
    const side = Number(response.headers.get("X-Side"));
    const values = new Float64Array(body.buffer, body.byteOffset, body.length / 8);
    const pixels = rgbPixels(written);
    let same = side === c.size + 2 && values.length === side * side;
    for (let y = 0; same && y < c.size; ++y) {
      for (let x = 0; x < c.size; ++x) {
        const i = (y * c.size + x) * 3;
        const code = (pixels[i] << 16) | (pixels[i + 1] << 8) | pixels[i + 2];
        if (code !== terrainRgbCode(values[(y + 1) * side + x + 1], c.heightScale)) same = false;
      }
    }
    check(same, `${c.what}: every value of ${c.z}/${c.x}/${c.y} (${c.size} x ${c.size})`);
  }
  const stopped = await stopStudio(studio);
  check(stopped.code === 0, "Ctrl-C stops the studio cleanly");
  rmSync(folder, { recursive: true, force: true });
} catch (error) {
  console.error(error);
  studio.child.kill("SIGKILL");
  process.exit(1);
}
