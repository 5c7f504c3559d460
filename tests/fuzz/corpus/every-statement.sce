% every statement and option once
cmr c 0 0 -10 0 0 5 0 1 0 1 2 1.5 0.1 0 7 end
nmdMtrl lamp pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end
  spctrl 0 10 0 10 0 10 end end
end
nmdMtrl glossy lmbrtn spctrl 400 0.2 500 0.4 600 0.6 1 0.3 20 0.25 end end end
nmdMtrl snow lmbrtn spctrl 0 0.9 0 0.9 0 0.9 1 end end end
nmdMtrl rock lmbrtn spctrl 0 0.2 0 0.3 0 0.4 1 end end end
pointlight 100 1 2 3 end
sky 0.1 0.2 0.3 end
pointlight 5 0 9 0 end sky 0 0 0 end
transform 2 0 0 0 0 2 0 0 0 0 2 0 5 0 0 1
[ label ] plnrMsh lamp-quad mtrlNm lamp end tessellate 0.25 size 2 position 10 0 0
  vrtxPstn 0 0 0 1 0 0 1 1 0 0 1 0 end
  cmplxPly plygn 0 1 2 3 end end
end
plnrMsh hill mtrlNm rock end tessellate 3
  vrtxPstn 0 100 0 10 120 0 0 110 10 10 105 10 end
  cmplxPly plygn 0 1 2 end plygn 1 3 2 -1 end end
end
plnrMsh own nmdMtrl inner lmbrtn spctrl 0 1 0 1 0 1 0.5 end end end tessellate 150
  vrtxPstn -1 0 -1 1 0 -1 1 0 1 end cmplxPly plygn 0 1 2 end end
end
plnrMsh nothing vrtxPstn end cmplxPly end end
