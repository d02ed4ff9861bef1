// The map page in a real browser (Debian's chromium, headless, through
// playwright-core; no browser is downloaded): the pyramid's tiles load, the
// height under the cursor is read from the terrain-RGB pyramid, and a
// screenshot is taken. Usage: node check_page.mjs URL SCREENSHOT
import { chromium } from "playwright-core";

const [url, screenshot] = process.argv.slice(2);
const fail = (message) => {
  console.error(`FAIL: ${message}`);
  process.exit(1);
};
const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  args: ["--no-sandbox"],
});
try {
  const page = await browser.newPage({ viewport: { width: 800, height: 450 } });
  const errors = [];
  page.on("pageerror", (error) => errors.push(String(error)));
  await page.goto(url);
  await page.waitForFunction(() => document.querySelectorAll(".leaflet-tile-loaded").length >= 2, null,
    { timeout: 30000 }).catch(() => fail("no tiles loaded"));
  // The sphere's tiles are equirectangular, not MapLibre's Web Mercator.
  if (await page.locator("#view").isVisible()) fail("a 3D button for the sphere");
  // Over the map's middle, then a little east: a height each time.
  const heights = [];
  const readout = page.locator("#readout");
  for (const x of [400, 460]) {
    // Moved a pixel at a time until the page has read the height there.
    let text = "";
    for (let step = 0; step < 50 && !text.includes("elevation"); ++step) {
      await page.mouse.move(x, 225 + (step % 2));
      await page.waitForTimeout(200);
      text = await readout.textContent();
    }
    if (!text.includes("elevation")) fail(`no elevation under the cursor: '${text}'`);
    heights.push(Number(await readout.getAttribute("data-height")));
  }
  for (const h of heights) {
    if (!Number.isFinite(h) || h < -10000 || h > 1667721.5) fail(`height ${h} out of terrain-RGB's range`);
  }
  await page.screenshot({ path: screenshot, quality: 80 });
  if (errors.length) fail(`page errors: ${errors.join("; ")}`);
  console.log(`map page: tiles shown, heights ${heights.map((h) => h.toFixed(1)).join(" and ")} m`);
} finally {
  await browser.close();
}
