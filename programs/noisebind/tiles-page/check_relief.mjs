// The map page's 3D view in a real browser (Debian's chromium, headless, its
// WebGL drawn by SwiftShader; no browser is downloaded): a plane pyramid with
// terrain-RGB heights offers "3D", shows MapLibre's terrain pitched, and the
// height under the cursor is the one its tile encodes. That height is checked
// against the graph itself: `noisebind tiles` makes a one-pixel terrain-RGB
// tile centred on the pixel the page read, decoded here.
// Usage: node check_relief.mjs URL NOISEBIND GRAPH OUTPUT [SCREENSHOT]
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { inflateSync } from "node:zlib";
import { chromium } from "playwright-core";

const [url, noisebind, graph, output, screenshot] = process.argv.slice(2);
const fail = (message) => {
  console.error(`FAIL: ${message}`);
  process.exit(1);
};

// The one pixel of an 8-bit RGB PNG, as terrain-RGB metres. For a first
// pixel of a first row every PNG filter adds zeros, so the bytes are raw.
function onePixelHeight(png) {
  const header = png.subarray(16, 29);
  if (header.readUInt32BE(0) !== 1 || header.readUInt32BE(4) !== 1 || header[8] !== 8 || header[9] !== 2)
    fail("the one-pixel tile is not 1 x 1 8-bit RGB");
  const data = [];
  for (let at = 8; at < png.length; ) {
    const length = png.readUInt32BE(at);
    if (png.toString("latin1", at + 4, at + 8) === "IDAT") data.push(png.subarray(at + 8, at + 8 + length));
    at += 12 + length;
  }
  const [, r, g, b] = inflateSync(Buffer.concat(data));
  return -10000 + (r * 65536 + g * 256 + b) * 0.1;
}

// The graph's terrain-RGB height at the centre of pixel `column`, `row` of
// the deepest level, from the command line alone.
function heightFromGraph(meta, column, row) {
  const [x0, z0, x1, z1] = meta.bounds;
  const across = 2 ** meta.maxzoom * meta.tileSize;
  const [w, h] = [(x1 - x0) / across, (z1 - z0) / across];
  const [cx, cz] = [x0 + (column + 0.5) * w, z0 + (row + 0.5) * h];
  const folder = mkdtempSync(join(tmpdir(), "relief-"));
  try {
    execFileSync(noisebind, ["tiles", graph, "--output", output, "--format", "terrain-rgb",
      `--plane=${[cx - w / 2, cx + w / 2, cz - h / 2, cz + h / 2].join(",")}`, "--zoom", "0",
      "--tile", "1", "--height-scale", String(meta.style.heightScale), "--out", folder, "--quiet"]);
    return { height: onePixelHeight(readFileSync(join(folder, "0", "0", "0.png"))), cx, cz, w, h };
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader"],
});
try {
  const page = await browser.newPage({ viewport: { width: 800, height: 450 } });
  const errors = [];
  page.on("pageerror", (error) => errors.push(String(error)));
  page.on("response", (response) => {
    if (response.status() >= 400 && !response.url().endsWith("/elevation/tiles.json"))
      errors.push(`${response.status()} for ${response.url()}`);
  });
  await page.goto(url);
  const meta = await (await fetch(new URL("pyramid/tiles.json", url))).json();
  const dem = meta.format === "terrain-rgb" ? meta : await (await fetch(new URL("elevation/tiles.json", url))).json();
  await page.locator("#view:visible").click({ timeout: 30000 }).catch(() => fail("no 3D button"));
  await page.waitForFunction(() => Number(document.getElementById("map").dataset.pitch) >= 45 &&
    document.getElementById("map").dataset.terrain === "on", null, { timeout: 90000 })
    .catch(() => fail("no pitched terrain in 3D"));
  if (!(await page.evaluate(() => window.location.hash === "#3d"))) fail("3D is not in the address");
  const readout = page.locator("#readout");
  const read = () => page.evaluate(() => ({ ...document.getElementById("readout").dataset }));
  const heights = [];
  for (const [x, y] of [[400, 330], [300, 380], [520, 260]]) {
    let seen = {};
    for (let step = 0; step < 50 && !seen.height; ++step) {
      await page.mouse.move(x, y + (step % 2));
      await page.waitForTimeout(200);
      seen = await read();
    }
    if (!seen.height) fail(`no elevation under the cursor at ${x}, ${y}: '${await readout.textContent()}'`);
    const [level, column, row] = seen.pixel.split("/").map(Number);
    if (level !== dem.maxzoom) fail(`height read at level ${level}, not the deepest, ${dem.maxzoom}`);
    const expected = heightFromGraph(dem, column, row);
    if (Number(seen.height) !== expected.height)
      fail(`height ${seen.height} under the cursor where the tile encodes ${expected.height}`);
    // The cursor's point of the plane is in the pixel the height came from.
    const slack = 1e-9;
    if (Math.abs(Number(seen.x) - expected.cx) > expected.w / 2 + slack ||
        Math.abs(Number(seen.z) - expected.cz) > Math.abs(expected.h) / 2 + slack)
      fail(`cursor at x ${seen.x}, z ${seen.z}, outside pixel ${seen.pixel}`);
    heights.push(expected.height);
  }
  if (new Set(heights).size < 2) fail(`the same height ${heights[0]} everywhere: no relief`);
  if (screenshot) await page.screenshot({ path: screenshot, quality: 70 });
  // Back to 2D: Leaflet's tiles again.
  await page.locator("#view").click();
  await page.waitForFunction(() => document.querySelectorAll(".leaflet-tile-loaded").length >= 1, null,
    { timeout: 30000 }).catch(() => fail("no 2D tiles after leaving 3D"));
  // Heights in 2D too, from the terrain-RGB tiles.
  let flat = "";
  for (let step = 0; step < 50 && !flat; ++step) {
    await page.mouse.move(400, 225 + (step % 2));
    await page.waitForTimeout(200);
    flat = await readout.getAttribute("data-height");
  }
  if (!flat) fail(`no elevation under the cursor in 2D: '${await readout.textContent()}'`);
  if (errors.length) fail(`page errors: ${errors.join("; ")}`);
  console.log(`3D page: terrain pitched, heights ${heights.map((h) => h.toFixed(1)).join(", ")} m as encoded`);
} finally {
  await browser.close();
}
