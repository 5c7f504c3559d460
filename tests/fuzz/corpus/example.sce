% a white floor lit by one point light
% (the floor's corners run counter-clockwise seen from above, so it faces up,
% toward its light and the eye)
cmr view
  0 60 -300   0 0 1   0 1 0
  1  0.8 0.8  0 0  0
end
nmdMtrl white lmbrtn spctrl 0 0.7 0 0.7 0 0.7 1 end end end
nmdMtrl lamp pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end
  spctrl 0 10 0 10 0 10 end end
end
pointlight 800 0 90 0 end
sky 0 0 0 end
plnrMsh floor mtrlNm white end tessellate 8
  vrtxPstn -100 0 -100  -100 0 100  100 0 100  100 0 -100 end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
