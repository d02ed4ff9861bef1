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

// Values as doubles from one of the map endpoints, with the server's
// headers and timings; throws as `call` does, and an AbortError when
// `signal` aborts it.
async function values(path, request, signal) {
  const started = performance.now();
  const response = await fetch(path, {
    method: "POST",
    headers: { "X-Studio-Token": token, "Content-Type": "application/json" },
    body: JSON.stringify({ ...request, page: pageId }),
    signal,
  });
  if (!response.ok) await refusal(response);
  const bytes = await response.arrayBuffer();
  const header = (name) => response.headers.get(name);
  return {
    values: new Float64Array(bytes),
    header,
    mapMs: Number(header("X-Map-Ms")),
    totalMs: performance.now() - started,
  };
}

// One tile's values with their border of one value, and where they were
// sampled (X-Columns and X-Rows: "from,to" as the server's doubles print).
export async function tile(request, signal) {
  const { header, ...reply } = await values("/api/tile", request, signal);
  return { ...reply, side: Number(header("X-Side")), columns: header("X-Columns"), rows: header("X-Rows") };
}

// The values of a whole view.
export async function preview(request, signal) {
  const { header, ...reply } = await values("/api/preview", request, signal);
  return { ...reply, width: Number(header("X-Width")), height: Number(header("X-Height")) };
}
