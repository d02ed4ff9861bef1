// Heights from a terrain-RGB pyramid: the pixel under a point of the map,
// read from its tile at the pyramid's deepest level.
export function terrainHeight(r, g, b) {
  return -10000 + (r * 65536 + g * 256 + b) * 0.1;
}

export class ElevationReader {
  constructor(meta, base, crs) {
    this.meta = meta;
    this.base = base;
    this.crs = crs;
    this.tiles = new Map();
  }

  // The tile's pixels, loaded once.
  pixels(z, x, y) {
    const key = `${z}/${x}/${y}`;
    if (!this.tiles.has(key)) {
      this.tiles.set(key, new Promise((resolve) => {
        const image = new Image();
        image.onload = () => {
          const canvas = document.createElement("canvas");
          canvas.width = image.width;
          canvas.height = image.height;
          const context = canvas.getContext("2d", { willReadFrequently: true });
          context.drawImage(image, 0, 0);
          resolve(context.getImageData(0, 0, image.width, image.height));
        };
        image.onerror = () => resolve(null);
        image.src = `${this.base}/${key}.png`;
      }));
    }
    return this.tiles.get(key);
  }

  // The height at `latlng` in metres, or null outside the pyramid.
  async heightAt(latlng, leafletZoomOf) {
    const point = this.crs.latLngToPoint(latlng, leafletZoomOf(this.meta.maxzoom));
    const sample = await this.sampleAt(point.x, point.y);
    return sample && sample.height;
  }

  // The pixel at (gx, gy), in pixels across the whole deepest level, or null
  // outside the pyramid: { height } in metres, and the pixel's column and
  // row across that level.
  async sampleAt(gx, gy) {
    const z = this.meta.maxzoom;
    const size = this.meta.tileSize;
    // Powers, not shifts: 2 << 30 overflows JavaScript's 32-bit integers.
    const rows = 2 ** z;
    const across = (this.meta.surface === "sphere" ? 2 : 1) * rows;
    if (!(gx >= 0 && gy >= 0 && gx < across * size && gy < rows * size)) return null;
    const x = Math.floor(gx / size);
    const y = Math.floor(gy / size);
    const data = await this.pixels(z, x, y);
    if (!data) return null;
    const px = Math.min(size - 1, Math.floor(gx - x * size));
    const py = Math.min(size - 1, Math.floor(gy - y * size));
    const i = (py * size + px) * 4;
    return {
      height: terrainHeight(data.data[i], data.data[i + 1], data.data[i + 2]),
      column: x * size + px,
      row: y * size + py,
    };
  }
}
