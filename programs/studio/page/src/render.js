// Preview values into pixels, and their figures.

// Minimum, maximum, mean of the finite values, and a histogram of `bins`.
export function statistics(values, bins = 64) {
  let min = Infinity;
  let max = -Infinity;
  let sum = 0;
  let count = 0;
  for (const v of values) {
    if (!Number.isFinite(v)) continue;
    if (v < min) min = v;
    if (v > max) max = v;
    sum += v;
    ++count;
  }
  const histogram = new Array(bins).fill(0);
  const span = max - min;
  for (const v of values) {
    if (!Number.isFinite(v)) continue;
    const bin = span > 0 ? Math.min(bins - 1, Math.floor(((v - min) / span) * bins)) : 0;
    ++histogram[bin];
  }
  return { min, max, mean: count ? sum / count : NaN, count, histogram };
}

// libnoise's terrain colours from -1 to 1.
const TERRAIN = [
  [-1.0, [0, 0, 128]],
  [-0.25, [0, 0, 255]],
  [0.0, [0, 128, 255]],
  [0.0625, [240, 240, 64]],
  [0.125, [32, 160, 0]],
  [0.375, [224, 224, 0]],
  [0.75, [128, 128, 128]],
  [1.0, [255, 255, 255]],
];

function gradientColour(v) {
  if (!(v > TERRAIN[0][0])) return TERRAIN[0][1];
  for (let i = 1; i < TERRAIN.length; ++i) {
    const [to, high] = TERRAIN[i];
    if (v <= to) {
      const [from, low] = TERRAIN[i - 1];
      const t = (v - from) / (to - from);
      return [0, 1, 2].map((c) => low[c] + (high[c] - low[c]) * t);
    }
  }
  return TERRAIN[TERRAIN.length - 1][1];
}

// The colour of value v with its right and lower neighbours: grey from
// min to max, or the terrain gradient lit from the north-west by the slope,
// `relief` times the difference between neighbours.
function colour(v, right, down, mode, stats, relief) {
  if (mode === "grey") {
    const g = ((v - stats.min) / (stats.max - stats.min || 1)) * 255;
    return [g, g, g];
  }
  const light = Math.max(0.35, Math.min(1.4, 1 + (v - right + (v - down)) * relief));
  return gradientColour(v).map((c) => c * light);
}

function put(pixels, i, rgb) {
  pixels[i * 4] = rgb[0];
  pixels[i * 4 + 1] = rgb[1];
  pixels[i * 4 + 2] = rgb[2];
  pixels[i * 4 + 3] = 255;
}

// RGBA pixels of a whole view: its edges lit by their own values.
export function paint(values, width, height, mode, stats) {
  const pixels = new Uint8ClampedArray(width * height * 4);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const i = y * width + x;
      const right = values[y * width + Math.min(width - 1, x + 1)];
      const down = values[Math.min(height - 1, y + 1) * width + x];
      put(pixels, i, colour(values[i], right, down, mode, stats, width / 8));
    }
  }
  return new ImageData(pixels, width, height);
}

// RGBA pixels of a tile of `side` - 2 pixels from its values with their
// border: the light at an edge sees the next tile's values, so tiles join
// without seams. The relief is the default view's (256 pixels).
export function paintTile(values, side, mode, stats) {
  const size = side - 2;
  const pixels = new Uint8ClampedArray(size * size * 4);
  for (let y = 0; y < size; ++y) {
    for (let x = 0; x < size; ++x) {
      const i = (y + 1) * side + x + 1;
      put(pixels, y * size + x, colour(values[i], values[i + 1], values[i + side], mode, stats, 32));
    }
  }
  return new ImageData(pixels, size, size);
}

// libnoise's cubic interpolation, for the curve's plot.
function cubic(n0, n1, n2, n3, a) {
  const p = n3 - n2 - (n0 - n1);
  const q = n0 - n1 - p;
  const r = n2 - n0;
  return p * a * a * a + q * a * a + r * a + n1;
}

// The curve's output at `x`, as libnoise's Curve maps its input.
export function curveAt(points, x) {
  const sorted = [...points].sort((a, b) => a[0] - b[0]);
  const n = sorted.length;
  if (n < 4) return NaN;
  let pos = 0;
  while (pos < n && x >= sorted[pos][0]) ++pos;
  const at = (i) => sorted[Math.max(0, Math.min(n - 1, i))];
  const i1 = Math.max(0, Math.min(n - 1, pos - 1));
  const i2 = Math.max(0, Math.min(n - 1, pos));
  if (i1 === i2) return at(i1)[1];
  const a = (x - at(i1)[0]) / (at(i2)[0] - at(i1)[0]);
  return cubic(at(pos - 2)[1], at(pos - 1)[1], at(pos)[1], at(pos + 1)[1], a);
}

// The terrace's output at `x`, as libnoise's Terrace maps its input.
export function terraceAt(values, x, inverted) {
  const sorted = [...values].sort((a, b) => a - b);
  const n = sorted.length;
  if (n < 2) return NaN;
  let pos = 0;
  while (pos < n && x >= sorted[pos]) ++pos;
  const i0 = Math.max(0, Math.min(n - 1, pos - 1));
  const i1 = Math.max(0, Math.min(n - 1, pos));
  if (i0 === i1) return sorted[i1];
  let v0 = sorted[i0];
  let v1 = sorted[i1];
  let a = (x - v0) / (v1 - v0);
  if (inverted) {
    a = 1 - a;
    [v0, v1] = [v1, v0];
  }
  a *= a;
  return v0 * (1 - a) + v1 * a;
}
