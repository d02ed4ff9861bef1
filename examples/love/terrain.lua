-- The LÖVE example's terrain as one graph: plains of billows and mountains
-- of ridged noise, each where a broad Perlin field puts it, a sea around
-- them, and the coasts made ragged by turbulence. main.lua builds it and
-- sends it to its thread as text (examples/graphs/love_terrain.json is it
-- for seed 1).
return function(noise, seed)
  local shape = noise.Perlin { frequency = 0.5, octaves = 6, seed = seed, name = "shape" }
  local plains = noise.ScaleBias(noise.Billow { frequency = 2, octaves = 4, seed = seed + 1 },
    { scale = 0.2, bias = 0.1, name = "plains" })
  local mountains = noise.ScaleBias(noise.RidgedMulti { frequency = 1.5, octaves = 6, seed = seed + 2 },
    { scale = 0.5, bias = 0.4, name = "mountains" })
  local land = noise.Select(plains, mountains, shape, { lower = 0.2, upper = 10, falloff = 0.2 })
  local coast = noise.Select(noise.Const { value = -0.5 }, land, shape,
    { lower = -0.1, upper = 10, falloff = 0.1 })
  return noise.Turbulence(coast,
    { frequency = 4, power = 0.08, roughness = 3, seed = seed + 3, name = "terrain" })
end
