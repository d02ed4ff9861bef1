// Starts `noisebind studio` on a graph file and reads the URL it prints.
import { spawn } from "node:child_process";

export function startStudio(noisebind, graphPath) {
  return new Promise((resolve, reject) => {
    const child = spawn(noisebind, ["studio", graphPath, "--no-browser"], { stdio: ["ignore", "pipe", "inherit"] });
    let output = "";
    child.stdout.on("data", (chunk) => {
      output += chunk;
      const match = /open (http:\/\/\S+)/.exec(output);
      if (match) resolve({ child, url: match[1], token: new URL(match[1]).searchParams.get("token") });
    });
    child.on("exit", (code) => reject(new Error(`the studio ended with ${code}: ${output}`)));
  });
}

export function stopStudio(studio) {
  return new Promise((resolve) => {
    studio.child.removeAllListeners("exit");
    studio.child.on("exit", (code, signal) => resolve({ code, signal }));
    studio.child.kill("SIGINT");
  });
}

// The studio's resident memory in KiB.
export async function residentKiB(pid) {
  const { readFile } = await import("node:fs/promises");
  const status = await readFile(`/proc/${pid}/status`, "utf8");
  return Number(/VmRSS:\s+(\d+)/.exec(status)[1]);
}

export function check(condition, message) {
  if (!condition) throw new Error(message);
  console.log(`ok: ${message}`);
}
