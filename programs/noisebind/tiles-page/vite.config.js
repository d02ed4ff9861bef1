// The page is served by `noisebind tiles serve` from the folder it is built
// into (TILES_PAGE_OUT, the build tree's programs/noisebind/tiles-page by default).
import { defineConfig } from "vite";

export default defineConfig({
  base: "./",
  build: {
    outDir: process.env.TILES_PAGE_OUT || "../../../build/programs/noisebind/tiles-page",
    emptyOutDir: true,
    // MapLibre alone is about 1 MB, in a chunk loaded only for the 3D view.
    chunkSizeWarningLimit: 1200,
  },
});
