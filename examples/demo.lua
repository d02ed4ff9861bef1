-- A first look at LibNoise: a few values from the generators and models.
local n = LibNoise
print("Perlin at (0.5, 0.25, 0.75):", n.M_Perlin.Calc(0.5, 0.25, 0.75))
n.Plane.SetModule(n.C_MODULE_RIDGED_MULTI)
print("Ridged multifractal on the plane at (1.5, 2.5):", n.Plane.Calc(1.5, 2.5))
