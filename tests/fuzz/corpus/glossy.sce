% A room of glossy and diffuse surfaces under an area light. The floor and
% the blocks are glossy with exponents 5, 30 and 200; the walls are diffuse.
cmr glossy
  50 40 -95   0 0 1   0 1 0
  1.2  1 0.8  0 0  0
end
nmdMtrl lamp pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end
  spctrl 0 8.5 0 9.5 0 10 end end
end
nmdMtrl white lmbrtn spctrl 0 0.7 0 0.7 0 0.7 1 end end end
nmdMtrl polished lmbrtn spctrl 0 0.25 0 0.3 0 0.35 1 0.3 20 end end end
nmdMtrl satin-red lmbrtn spctrl 0 0.1 0 0.1 0 0.5 1 0.4 5 end end end
nmdMtrl gloss-green lmbrtn spctrl 0 0.15 0 0.4 0 0.1 1 0.5 30 end end end
nmdMtrl mirror-blue lmbrtn spctrl 0 0.3 0 0.1 0 0.05 1 0.7 200 end end end
plnrMsh lamp mtrlNm lamp end tessellate 2
  vrtxPstn
    35 79.9 35
    65 79.9 35
    65 79.9 65
    35 79.9 65
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh walls mtrlNm white end tessellate 12
  vrtxPstn
    0 0 0
    0 80 0
    0 80 100
    0 0 100
    100 0 100
    100 80 100
    100 80 0
    100 0 0
  end
  cmplxPly
    plygn 0 1 2 3 end
    plygn 4 5 6 7 end
    plygn 6 5 2 1 end
    plygn 2 5 4 3 end
  end
end
plnrMsh floor mtrlNm polished end tessellate 12
  vrtxPstn
    0 0 100
    100 0 100
    100 0 0
    0 0 0
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh satin-block mtrlNm satin-red end tessellate 6
  vrtxPstn
    10 0 50
    10 30 50
    10 30 30
    10 0 30
    30 0 30
    30 30 30
    30 30 50
    30 0 50
  end
  cmplxPly
    plygn 0 1 2 3 end
    plygn 4 5 6 7 end
    plygn 4 7 0 3 end
    plygn 2 1 6 5 end
    plygn 2 5 4 3 end
    plygn 0 7 6 1 end
  end
end
plnrMsh gloss-block mtrlNm gloss-green end tessellate 6
  vrtxPstn
    40 0 75
    40 45 75
    40 45 55
    40 0 55
    60 0 55
    60 45 55
    60 45 75
    60 0 75
  end
  cmplxPly
    plygn 0 1 2 3 end
    plygn 4 5 6 7 end
    plygn 4 7 0 3 end
    plygn 2 1 6 5 end
    plygn 2 5 4 3 end
    plygn 0 7 6 1 end
  end
end
plnrMsh mirror-block mtrlNm mirror-blue end tessellate 6
  vrtxPstn
    70 0 45
    70 20 45
    70 20 25
    70 0 25
    90 0 25
    90 20 25
    90 20 45
    90 0 45
  end
  cmplxPly
    plygn 0 1 2 3 end
    plygn 4 5 6 7 end
    plygn 4 7 0 3 end
    plygn 2 1 6 5 end
    plygn 2 5 4 3 end
    plygn 0 7 6 1 end
  end
end
