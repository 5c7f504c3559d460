plnrMsh x mtrlNm missing end vrtxPstn end cmplxPly end end
