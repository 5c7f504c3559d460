nmdMtrl m lmbrtn spctrl 0 1 0 1 0 1 1 end end end
plnrMsh x vrtxPstn 0 0 0 1 0 0 1 1 0 end cmplxPly plygn 0 1 5 end end end
