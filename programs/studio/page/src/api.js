// Calls to the studio server. Every request carries the token of the URL
// the server printed; each page has an id so that its newer preview
// cancels its older one on the server.
const token = new URLSearchParams(window.location.search).get("token") || "";
export const pageId = Math.random().toString(36).slice(2, 12);

async function call(method, path, body) {
  const response = await fetch(path, {
    method,
    headers: { "X-Studio-Token": token, "Content-Type": "application/json" },
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  const reply = await response.json().catch(() => ({ error: `status ${response.status}` }));
  if (!response.ok) {
    const error = new Error(reply.error || `status ${response.status}`);
    error.status = response.status;
    error.errors = reply.errors || [];
    throw error;
  }
  return reply;
}

export const getSchema = () => call("GET", "/api/schema");
export const getGraph = () => call("GET", "/api/graph");
export const checkGraph = (graph) => call("POST", "/api/check", { graph });
export const saveGraph = (graph) => call("PUT", "/api/graph", { graph });
export const exportHeightmap = (request) => call("POST", "/api/export", request);

// The values of a preview as doubles, with the server's timings; throws
// as `call` does, and an AbortError when `signal` aborts it.
export async function preview(request, signal) {
  const started = performance.now();
  const response = await fetch("/api/preview", {
    method: "POST",
    headers: { "X-Studio-Token": token, "Content-Type": "application/json" },
    body: JSON.stringify({ ...request, page: pageId }),
    signal,
  });
  if (!response.ok) {
    const reply = await response.json().catch(() => ({}));
    const error = new Error(reply.error || `status ${response.status}`);
    error.status = response.status;
    error.errors = reply.errors || [];
    throw error;
  }
  const bytes = await response.arrayBuffer();
  return {
    values: new Float64Array(bytes),
    width: Number(response.headers.get("X-Width")),
    height: Number(response.headers.get("X-Height")),
    mapMs: Number(response.headers.get("X-Map-Ms")),
    totalMs: performance.now() - started,
  };
}
