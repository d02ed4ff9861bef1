-- The mod's graph from the world's seed: the land's heights and the caves'
-- density. init.lua builds it and hands it to the async workers as text
-- (examples/graphs/luanti_terrain.json is it for seed 0).
return function(noise, seed)
  return {
    land = noise.Perlin { octaves = 6, frequency = 1 / 256, seed = seed, name = "land" },
    caves = noise.RidgedMulti { octaves = 2, frequency = 1 / 48, seed = seed, name = "caves" },
  }
end
