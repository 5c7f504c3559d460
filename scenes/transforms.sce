% Objects placed by transform statements, size and position. The spiral
% stair repeats one step: each transform statement composes a turn of 30
% degrees about y and a rise of 8 onto the current transformation, which
% applies to every later object and is never reset.
cmr stair
  0 110 -260   0 -0.25 1   0 1 0
  1  1 1  0 0  0
end
nmdMtrl lamp pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end
  spctrl 0 12 0 13 0 14 end end
end
nmdMtrl floor lmbrtn spctrl 0 0.6 0 0.55 0 0.45 1 end end end
nmdMtrl step lmbrtn spctrl 0 0.6 0 0.7 0 0.75 1 end end end
nmdMtrl column lmbrtn spctrl 0 0.7 0 0.3 0 0.3 1 0.3 15 end end end
sky 0.3 0.2 0.1 end
plnrMsh lamp mtrlNm lamp end tessellate 2
  vrtxPstn
    -30 180 -30
    30 180 -30
    30 180 30
    -30 180 30
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh floor mtrlNm floor end tessellate 20 size 120 position 0 -0.01 0
  vrtxPstn
    -1 0 1
    1 0 1
    1 0 -1
    -1 0 -1
  end
  cmplxPly
    plygn 0 1 2 3 end
  end
end
plnrMsh column mtrlNm column end tessellate 8 size 8
  vrtxPstn
    -1 0 1
    -1 13.75 1
    -1 13.75 -1
    -1 0 -1
    1 0 -1
    1 13.75 -1
    1 13.75 1
    1 0 1
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
plnrMsh step1 mtrlNm step end tessellate 4
  vrtxPstn
    10 0 8
    10 5 8
    10 5 -8
    10 0 -8
    55 0 -8
    55 5 -8
    55 5 8
    55 0 8
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
transform 0.866025404 0 -0.5 0  0 1 0 0  0.5 0 0.866025404 0  0 8 0 1
plnrMsh step2 mtrlNm step end tessellate 4
  vrtxPstn
    10 0 8
    10 5 8
    10 5 -8
    10 0 -8
    55 0 -8
    55 5 -8
    55 5 8
    55 0 8
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
transform 0.866025404 0 -0.5 0  0 1 0 0  0.5 0 0.866025404 0  0 8 0 1
plnrMsh step3 mtrlNm step end tessellate 4
  vrtxPstn
    10 0 8
    10 5 8
    10 5 -8
    10 0 -8
    55 0 -8
    55 5 -8
    55 5 8
    55 0 8
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
transform 0.866025404 0 -0.5 0  0 1 0 0  0.5 0 0.866025404 0  0 8 0 1
plnrMsh step4 mtrlNm step end tessellate 4
  vrtxPstn
    10 0 8
    10 5 8
    10 5 -8
    10 0 -8
    55 0 -8
    55 5 -8
    55 5 8
    55 0 8
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
transform 0.866025404 0 -0.5 0  0 1 0 0  0.5 0 0.866025404 0  0 8 0 1
plnrMsh step5 mtrlNm step end tessellate 4
  vrtxPstn
    10 0 8
    10 5 8
    10 5 -8
    10 0 -8
    55 0 -8
    55 5 -8
    55 5 8
    55 0 8
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
transform 0.866025404 0 -0.5 0  0 1 0 0  0.5 0 0.866025404 0  0 8 0 1
plnrMsh step6 mtrlNm step end tessellate 4
  vrtxPstn
    10 0 8
    10 5 8
    10 5 -8
    10 0 -8
    55 0 -8
    55 5 -8
    55 5 8
    55 0 8
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
transform 0.866025404 0 -0.5 0  0 1 0 0  0.5 0 0.866025404 0  0 8 0 1
plnrMsh step7 mtrlNm step end tessellate 4
  vrtxPstn
    10 0 8
    10 5 8
    10 5 -8
    10 0 -8
    55 0 -8
    55 5 -8
    55 5 8
    55 0 8
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
transform 0.866025404 0 -0.5 0  0 1 0 0  0.5 0 0.866025404 0  0 8 0 1
plnrMsh step8 mtrlNm step end tessellate 4
  vrtxPstn
    10 0 8
    10 5 8
    10 5 -8
    10 0 -8
    55 0 -8
    55 5 -8
    55 5 8
    55 0 8
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
transform 0.866025404 0 -0.5 0  0 1 0 0  0.5 0 0.866025404 0  0 8 0 1
plnrMsh step9 mtrlNm step end tessellate 4
  vrtxPstn
    10 0 8
    10 5 8
    10 5 -8
    10 0 -8
    55 0 -8
    55 5 -8
    55 5 8
    55 0 8
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
transform 0.866025404 0 -0.5 0  0 1 0 0  0.5 0 0.866025404 0  0 8 0 1
plnrMsh step10 mtrlNm step end tessellate 4
  vrtxPstn
    10 0 8
    10 5 8
    10 5 -8
    10 0 -8
    55 0 -8
    55 5 -8
    55 5 8
    55 0 8
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
transform 0.866025404 0 -0.5 0  0 1 0 0  0.5 0 0.866025404 0  0 8 0 1
plnrMsh step11 mtrlNm step end tessellate 4
  vrtxPstn
    10 0 8
    10 5 8
    10 5 -8
    10 0 -8
    55 0 -8
    55 5 -8
    55 5 8
    55 0 8
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
transform 0.866025404 0 -0.5 0  0 1 0 0  0.5 0 0.866025404 0  0 8 0 1
plnrMsh step12 mtrlNm step end tessellate 4
  vrtxPstn
    10 0 8
    10 5 8
    10 5 -8
    10 0 -8
    55 0 -8
    55 5 -8
    55 5 8
    55 0 8
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
transform 0.866025404 0 -0.5 0  0 1 0 0  0.5 0 0.866025404 0  0 8 0 1
