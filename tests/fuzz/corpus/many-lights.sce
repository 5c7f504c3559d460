% Sixteen small lamps of four colours over a floor. With 25 or more emitting
% surfaces (here 32 patches) the first shot is skipped and every lamp's light
% travels with the bundles.
cmr lamps
  0 140 -230   0 -0.5 1   0 1 0
  1  1 0.8  0 0  0
end
nmdMtrl lamp0 pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end
  spctrl 0 4 0 6 0 20 end end
end
nmdMtrl lamp1 pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end
  spctrl 0 6 0 20 0 6 end end
end
nmdMtrl lamp2 pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end
  spctrl 0 22 0 8 0 5 end end
end
nmdMtrl lamp3 pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end
  spctrl 0 8 0 16 0 18 end end
end
nmdMtrl white lmbrtn spctrl 0 0.75 0 0.75 0 0.75 1 end end end
plnrMsh lamp-0-0 mtrlNm lamp0 end tessellate 1
  vrtxPstn
    -79 60 -79
    -71 60 -79
    -71 60 -71
    -79 60 -71
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-0-1 mtrlNm lamp1 end tessellate 1
  vrtxPstn
    -79 60 -29
    -71 60 -29
    -71 60 -21
    -79 60 -21
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-0-2 mtrlNm lamp2 end tessellate 1
  vrtxPstn
    -79 60 21
    -71 60 21
    -71 60 29
    -79 60 29
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-0-3 mtrlNm lamp3 end tessellate 1
  vrtxPstn
    -79 60 71
    -71 60 71
    -71 60 79
    -79 60 79
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-1-0 mtrlNm lamp1 end tessellate 1
  vrtxPstn
    -29 60 -79
    -21 60 -79
    -21 60 -71
    -29 60 -71
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-1-1 mtrlNm lamp2 end tessellate 1
  vrtxPstn
    -29 60 -29
    -21 60 -29
    -21 60 -21
    -29 60 -21
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-1-2 mtrlNm lamp3 end tessellate 1
  vrtxPstn
    -29 60 21
    -21 60 21
    -21 60 29
    -29 60 29
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-1-3 mtrlNm lamp0 end tessellate 1
  vrtxPstn
    -29 60 71
    -21 60 71
    -21 60 79
    -29 60 79
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-2-0 mtrlNm lamp2 end tessellate 1
  vrtxPstn
    21 60 -79
    29 60 -79
    29 60 -71
    21 60 -71
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-2-1 mtrlNm lamp3 end tessellate 1
  vrtxPstn
    21 60 -29
    29 60 -29
    29 60 -21
    21 60 -21
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-2-2 mtrlNm lamp0 end tessellate 1
  vrtxPstn
    21 60 21
    29 60 21
    29 60 29
    21 60 29
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-2-3 mtrlNm lamp1 end tessellate 1
  vrtxPstn
    21 60 71
    29 60 71
    29 60 79
    21 60 79
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-3-0 mtrlNm lamp3 end tessellate 1
  vrtxPstn
    71 60 -79
    79 60 -79
    79 60 -71
    71 60 -71
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-3-1 mtrlNm lamp0 end tessellate 1
  vrtxPstn
    71 60 -29
    79 60 -29
    79 60 -21
    71 60 -21
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-3-2 mtrlNm lamp1 end tessellate 1
  vrtxPstn
    71 60 21
    79 60 21
    79 60 29
    71 60 29
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh lamp-3-3 mtrlNm lamp2 end tessellate 1
  vrtxPstn
    71 60 71
    79 60 71
    79 60 79
    71 60 79
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh floor mtrlNm white end tessellate 24
  vrtxPstn
    -100 0 100
    100 0 100
    100 0 -100
    -100 0 -100
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh back-wall mtrlNm white end tessellate 16
  vrtxPstn
    -100 100 100
    100 100 100
    100 0 100
    -100 0 100
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
