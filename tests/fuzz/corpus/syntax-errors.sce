cmr c 1 2 end
nmdMtrl m pLmnr lmbrtn spctrl 0 1 0 1 0 1 1 end end end
plnrMsh x mtrlNm m end vrtxPstn 0 0 0 end cmplxPly plygn 0 0 0 end end end
transform 1 2 3
sclr
