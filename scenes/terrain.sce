% An outdoor heightfield of "rock" under a blue sky and a low sun. Rock above
% the snow line (heights 108 to 113, dithered) turns to "snow". The mesh is in
% terrain-mesh.inc, made by scenes/generators/make_terrain.py.
cmr terrain
  0 260 -460   0 -0.42 1   0 1 0
  1  1 1  0 0  0
end
nmdMtrl snow lmbrtn spctrl 0 0.9 0 0.9 0 0.88 1 end end end
nmdMtrl rock lmbrtn spctrl 0 0.22 0 0.3 0 0.36 1 end end end
% channel 0 is shown as blue
sky 0.55 0.4 0.25 end
pointlight 6000000 250 450 -150 end
plnrMsh terrain mtrlNm rock end tessellate 1
  file "terrain-mesh.inc"
end
