% The Cornell box, from the published measurements of the real box
% (millimetres, y up). Written by scenes/generators/make_cornell_box.py.
cmr classic
  278 273 -800   0 0 1   0 1 0
  35  25 25  0 0  0
end
nmdMtrl light pLmnr lmbrtn spctrl 0 0.78 0 0.78 0 0.78 1 end end
  spctrl 0 4 0 12 0 17 end end
end
nmdMtrl white lmbrtn spctrl 0 0.68 0 0.71 0 0.725 1 end end end
nmdMtrl red lmbrtn spctrl 0 0.05 0 0.065 0 0.63 1 end end end
nmdMtrl green lmbrtn spctrl 0 0.091 0 0.45 0 0.14 1 end end end
plnrMsh light mtrlNm light end tessellate 2
  vrtxPstn 343 548.7 227 343 548.7 332 213 548.7 332 213 548.7 227 end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh floor mtrlNm white end tessellate 20
  vrtxPstn 552.8 0 0 0 0 0 0 0 559.2 549.6 0 559.2 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh ceiling mtrlNm white end tessellate 20
  vrtxPstn 556 548.8 0 556 548.8 559.2 0 548.8 559.2 0 548.8 0 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh back-wall mtrlNm white end tessellate 20
  vrtxPstn 549.6 0 559.2 0 0 559.2 0 548.8 559.2 556 548.8 559.2 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh right-wall mtrlNm green end tessellate 20
  vrtxPstn 0 0 559.2 0 0 0 0 548.8 0 0 548.8 559.2 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh left-wall mtrlNm red end tessellate 20
  vrtxPstn 552.8 0 0 549.6 0 559.2 556 548.8 559.2 556 548.8 0 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh short-block-top mtrlNm white end tessellate 10
  vrtxPstn 130 165 65 82 165 225 240 165 272 290 165 114 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh short-block-side1 mtrlNm white end tessellate 10
  vrtxPstn 240 165 272 240 0 272 290 0 114 290 165 114 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh short-block-side2 mtrlNm white end tessellate 10
  vrtxPstn 290 165 114 290 0 114 130 0 65 130 165 65 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh short-block-side3 mtrlNm white end tessellate 10
  vrtxPstn 130 165 65 130 0 65 82 0 225 82 165 225 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh short-block-side4 mtrlNm white end tessellate 10
  vrtxPstn 82 165 225 82 0 225 240 0 272 240 165 272 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh tall-block-top mtrlNm white end tessellate 10
  vrtxPstn 423 330 247 265 330 296 314 330 456 472 330 406 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh tall-block-side1 mtrlNm white end tessellate 10
  vrtxPstn 472 330 406 472 0 406 423 0 247 423 330 247 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh tall-block-side2 mtrlNm white end tessellate 10
  vrtxPstn 314 330 456 314 0 456 472 0 406 472 330 406 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh tall-block-side3 mtrlNm white end tessellate 10
  vrtxPstn 265 330 296 265 0 296 314 0 456 314 330 456 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
plnrMsh tall-block-side4 mtrlNm white end tessellate 10
  vrtxPstn 423 330 247 423 0 247 265 0 296 265 330 296 end
  cmplxPly
    plygn 0 1 2 end
    plygn 0 2 3 end
  end
end
