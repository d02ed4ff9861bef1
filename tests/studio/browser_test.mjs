// The studio in a real browser: Debian's chromium, headless, driven by
// playwright-core (which downloads nothing). Builds a small graph through
// the page, sees the preview change and match a map made through `noise`
// in Lua from the saved file, sees a Curve of 3 points refused at its
// node, saves, reloads and finds the same graph.
// Usage: node browser_test.mjs NOISEBIND LUA_MODULE_DIR [SCREENSHOT]
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { check, startStudio, stopStudio } from "./studio_process.mjs";

const here = dirname(fileURLToPath(import.meta.url));
const { chromium } = createRequire(join(here, "../../programs/studio/page/package.json"))("playwright-core");
const [program, luaModules, screenshot] = process.argv.slice(2);
const folder = mkdtempSync(join(tmpdir(), "studio-browser-"));
const graphPath = join(folder, "graph.json");
const studio = await startStudio(program, graphPath);
const profile = join(folder, "profile");
const context = await chromium.launchPersistentContext(profile, {
  executablePath: "/usr/bin/chromium",
  headless: true,
  viewport: { width: 1400, height: 860 },
  bypassCSP: true,  // the test's own polling evaluates functions
  args: [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
    "--disable-component-update", "--disable-sync", "--no-first-run",
  ],
});
const page = context.pages()[0] || (await context.newPage());
page.on("dialog", (dialog) => dialog.accept(dialog.message().startsWith("name") ? "height" : undefined));
page.on("pageerror", (error) => console.error(`page error: ${error.message}`));

const node = (id) => page.locator(`.react-flow__node[data-id="${id}"]`);
const stats = page.getByTestId("stats");

// Drags from one handle to another, as a person wires two nodes.
async function wire(from, to) {
  await page.waitForTimeout(300);  // the view settles after a node is added
  const a = await page.getByTestId(from).boundingBox();
  const b = await page.getByTestId(to).boundingBox();
  await page.mouse.move(a.x + a.width / 2, a.y + a.height / 2);
  await page.mouse.down();
  await page.mouse.move((a.x + b.x) / 2, (a.y + b.y) / 2, { steps: 5 });
  await page.mouse.move(b.x + b.width / 2, b.y + b.height / 2, { steps: 5 });
  await page.mouse.up();
}

async function fullPreview() {
  await page.waitForFunction(() => document.querySelector('[data-testid="stats"]')?.dataset.pass === "full");
  return stats.textContent();
}

// A tile the page shows, as it received it: its values with their border
// and where they were sampled ("from,to" across and down).
async function shownTile() {
  return page.evaluate(() => {
    const tile = window.studioTile();
    return { values: Array.from(tile.values), side: tile.side, columns: tile.columns, rows: tile.rows };
  });
}

// The same map through `noise` in Lua from the saved file.
function luaValues(output, bounds, width, height) {
  const script = `
    local noise = require "noisebind"
    local file = assert(io.open(arg[1], "rb"))
    local outputs = noise.decode(file:read("*a"))
    file:close()
    local map = noise.planemap(outputs[arg[2]], { ${bounds} }, ${width}, ${height})
    local out = {}
    for y = 0, ${height} - 1 do
      for x = 0, ${width} - 1 do out[#out + 1] = string.pack("<d", map:get(x, y)) end
    end
    io.stdout:write(table.concat(out))`;
  const bytes = execFileSync("lua5.4", ["-e", script, "-", graphPath, output], {
    input: "",
    env: { ...process.env, LUA_CPATH: `${luaModules}/?.so` },
    maxBuffer: 64 << 20,
  });
  return Array.from(new Float64Array(bytes.buffer, bytes.byteOffset, bytes.length / 8));
}

try {
  await page.goto(studio.url);
  await page.getByTestId("palette-Perlin").waitFor();
  check((await page.getByTestId("palette").locator("button").count()) >= 28, "a palette of every class");

  await page.getByTestId("palette-Perlin").click();
  await node("perlin1").waitFor();
  const perlin = await fullPreview();
  check(perlin.includes("min"), "the new Perlin is previewed");

  await page.getByTestId("palette-ScaleBias").click();
  await node("scalebias1").waitFor();
  await wire("out-perlin1", "in-scalebias1-0");
  await page.waitForSelector('.react-flow__edge[data-testid="rf__edge-perlin1->scalebias1:0"]', { state: "attached" });
  check(true, "Perlin wired into ScaleBias");
  await node("scalebias1").click();
  const before = await fullPreview();
  await page.getByTestId("add-output").click();
  await node("output:height").waitFor();
  await page.getByTestId("field-scale").fill("2");
  await page.getByTestId("field-scale").press("Enter");
  await page.waitForFunction((old) => {
    const shown = document.querySelector('[data-testid="stats"]');
    return shown.dataset.pass === "full" && shown.textContent !== old;
  }, before);
  check(true, `the preview changed with the field: ${before} -> ${await stats.textContent()}`);

  await page.getByTestId("save").click();
  await page.getByTestId("status").filter({ hasText: "saved graph.json" }).waitFor();
  check(readFileSync(graphPath, "utf8").includes('"scalebias1"'), "saved to the graph file");
  await page.locator('.react-flow__node[data-id="output:height"]').click();
  await fullPreview();
  const tile = await shownTile();
  const lua = luaValues("height", `${tile.columns}, ${tile.rows}`, tile.side, tile.side);
  check(tile.values.length === lua.length && tile.values.every((v, i) => Object.is(v, lua[i])),
        `a tile of the preview is the map of noise.planemap over its samples, every value (${lua.length})`);
  if (screenshot) {
    await page.getByTestId("preview").hover();  // a value under the cursor
    await page.screenshot({ path: screenshot });
    check(true, `screenshot in ${screenshot}`);
  }

  await node("scalebias1").click();
  await page.getByTestId("palette-Curve").click();
  await node("curve1").waitFor();
  await wire("out-scalebias1", "in-curve1-0");
  for (let i = 0; i < 3; ++i) await page.getByTestId("point-add").click();
  await page.getByTestId("error-curve1").filter({ hasText: "Curve needs at least 4 control points, has 3" }).waitFor();
  check(true, "a Curve of 3 points shows the error at its node");

  await page.reload();
  await node("scalebias1").waitFor();
  await node("perlin1").waitFor();
  check(true, "reloaded: the Perlin is there");
  await node("output:height").waitFor();
  check(true, "reloaded: the output is there");
  await page.waitForFunction(() => document.querySelectorAll(".react-flow__edge").length === 2);
  check(true, "reloaded: the same wires");
  // The view fits the graph after a reload, moving the nodes: a click
  // during that move can miss, so it is tried again.
  const scale = page.getByTestId("field-scale");
  for (let attempt = 0; attempt < 5 && !(await scale.isVisible()); ++attempt) {
    await node("scalebias1").click();
    await scale.waitFor({ timeout: 2000 }).catch(() => {});
  }
  check((await scale.inputValue()) === "2", "reloaded: the field as saved");

  await context.close();
  const stopped = await stopStudio(studio);
  check(stopped.code === 0, "Ctrl-C stops the studio cleanly");
  rmSync(folder, { recursive: true, force: true });
} catch (error) {
  console.error(error);
  await page.screenshot({ path: join(folder, "failure.png") }).catch(() => {});
  console.error(`the page as it failed: ${join(folder, "failure.png")}`);
  await context.close().catch(() => {});
  studio.child.kill("SIGKILL");
  process.exit(1);
}
