// A bounded load on the studio: 8 clients, 500 previews and tiles between
// them, each after an edit of the graph (a new seed), some cancelled by the
// next (a newer preview, or tiles of a newer version).
// The server must answer every one, stay up, and keep its memory flat.
// Usage: node load_test.mjs NOISEBIND
import { mkdtempSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { check, residentKiB, startStudio, stopStudio } from "./studio_process.mjs";

const program = process.argv[2];
const studio = await startStudio(program, join(mkdtempSync(join(tmpdir(), "studio-load-")), "load.json"));
const origin = new URL(studio.url).origin;
const headers = { "X-Studio-Token": studio.token, "Content-Type": "application/json" };

function graph(seed) {
  return JSON.stringify({
    format: "noisebind-graph",
    version: 1,
    nodes: [
      { id: "base", class: "Perlin", sources: [], fields: { octaves: 4, seed } },
      { id: "ridges", class: "RidgedMulti", sources: [], fields: { seed: seed + 1 } },
      { id: "mix", class: "Add", sources: ["base", "ridges"], fields: {} },
    ],
    outputs: { height: "mix" },
  });
}

async function previewOnce(client, seed) {
  if (seed % 4 === 1) {
    const tile = { surface: "sphere", z: 1, x: seed % 4, y: seed % 2, size: 64 };
    const body = { graph: graph(seed), target: { output: "height" }, tile, page: `client${client}`, version: seed };
    const response = await fetch(`${origin}/api/tile`, { method: "POST", headers, body: JSON.stringify(body) });
    await response.arrayBuffer();
    return response.status;
  }
  const body = {
    graph: graph(seed),
    target: { output: "height" },
    view: { projection: seed % 3 === 0 ? "sphere" : "plane", bounds: seed % 3 === 0 ? [-90, 90, -180, 180] : [0, 4, 0, 4], width: 128, height: 64 },
    page: `client${client}`,
  };
  const response = await fetch(`${origin}/api/preview`, { method: "POST", headers, body: JSON.stringify(body) });
  await response.arrayBuffer();
  return response.status;
}

async function round(total) {
  const statuses = {};
  let next = 0;
  const client = async (c) => {
    while (next < total) {
      const seed = next++;
      // Now and then a preview that the same client's next one cancels.
      const pending = seed % 10 === 0 ? previewOnce(c, seed + 1000) : null;
      const status = await previewOnce(c, seed);
      statuses[status] = (statuses[status] || 0) + 1;
      if (pending) {
        const earlier = await pending;
        statuses[earlier] = (statuses[earlier] || 0) + 1;
      }
    }
  };
  await Promise.all(Array.from({ length: 8 }, (_, c) => client(c)));
  return statuses;
}

try {
  await round(100);  // warm: thread stacks, allocator pools
  const before = await residentKiB(studio.child.pid);
  const statuses = await round(500);
  const after = await residentKiB(studio.child.pid);
  console.log(`statuses ${JSON.stringify(statuses)}; memory ${before} KiB before, ${after} KiB after`);
  check(Object.keys(statuses).every((s) => s === "200" || s === "409"), "every preview and tile answered or cancelled");
  check((statuses[200] || 0) >= 500, "at least 500 previews and tiles made");
  check(after - before < 32 * 1024, "memory flat (less than 32 MiB more)");
  const schema = await fetch(`${origin}/api/schema`, { headers });
  check(schema.status === 200, "the server is up after the load");
  const stopped = await stopStudio(studio);
  check(stopped.code === 0, "Ctrl-C stops it cleanly");
} catch (error) {
  studio.child.kill("SIGKILL");
  console.error(error);
  process.exit(1);
}
