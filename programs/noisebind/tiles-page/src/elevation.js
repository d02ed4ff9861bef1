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
    const z = this.meta.maxzoom;
    const size = this.meta.tileSize;
    const point = this.crs.latLngToPoint(latlng, leafletZoomOf(z));
    const x = Math.floor(point.x / size);
    const y = Math.floor(point.y / size);
    const across = (this.meta.surface === "sphere" ? 2 : 1) << z;
    if (x < 0 || y < 0 || x >= across || y >= 1 << z) return null;
    const data = await this.pixels(z, x, y);
    if (!data) return null;
    const px = Math.min(size - 1, Math.floor(point.x - x * size));
    const py = Math.min(size - 1, Math.floor(point.y - y * size));
    const i = (py * size + px) * 4;
    return terrainHeight(data.data[i], data.data[i + 1], data.data[i + 2]);
  }
}
