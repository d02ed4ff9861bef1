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

// Throws the reply's error, with its status and the errors at nodes.
async function refusal(response) {
  const reply = await response.json().catch(() => ({}));
  const error = new Error(reply.error || `status ${response.status}`);
  error.status = response.status;
  error.errors = reply.errors || [];
  throw error;
}

// One tile's values with their border of one value, as doubles, and where
// they were sampled (X-Columns and X-Rows: "from,to" as the server's
// doubles print); throws as `preview` does.
export async function tile(request, signal) {
  const started = performance.now();
  const response = await fetch("/api/tile", {
    method: "POST",
    headers: { "X-Studio-Token": token, "Content-Type": "application/json" },
    body: JSON.stringify({ ...request, page: pageId }),
    signal,
  });
  if (!response.ok) await refusal(response);
  const bytes = await response.arrayBuffer();
  return {
    values: new Float64Array(bytes),
    side: Number(response.headers.get("X-Side")),
    columns: response.headers.get("X-Columns"),
    rows: response.headers.get("X-Rows"),
    mapMs: Number(response.headers.get("X-Map-Ms")),
    totalMs: performance.now() - started,
  };
}

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
  if (!response.ok) await refusal(response);
  const bytes = await response.arrayBuffer();
  return {
    values: new Float64Array(bytes),
    width: Number(response.headers.get("X-Width")),
    height: Number(response.headers.get("X-Height")),
    mapMs: Number(response.headers.get("X-Map-Ms")),
    totalMs: performance.now() - started,
  };
}
