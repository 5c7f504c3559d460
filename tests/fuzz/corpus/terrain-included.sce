cmr t 0 260 -460 0 -0.42 1 0 1 0 1 1 1 0 0 0 end
nmdMtrl snow lmbrtn spctrl 0 0.9 0 0.9 0 0.88 1 end end end
nmdMtrl rock lmbrtn spctrl 0 0.22 0 0.3 0 0.36 1 end end end
plnrMsh terrain mtrlNm rock end tessellate 2
  file "body.inc"
end
#body
vrtxPstn -10 100 -10 0 112 -10 10 118 -10 -10 106 0 0 111 0 10 115 0 end
cmplxPly plygn 0 1 3 end plygn 1 4 3 end plygn 1 2 4 end plygn 2 5 4 end end
