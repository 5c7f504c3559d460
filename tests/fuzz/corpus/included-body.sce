cmr c 0 0 -10 0 0 1 0 1 0 1 1 1 0 0 0 end
nmdMtrl grey lmbrtn spctrl 0 0.5 0 0.5 0 0.5 1 end end end
plnrMsh walls tessellate 4
  file body.inc
end
plnrMsh again file "body.inc" end
#body
vrtxPstn 0 0 0 4 0 0 4 4 0 0 4 0 2 2 3 end
cmplxPly
  plygn 0 1 2 3 end
  plygn 0 1 4 end
  plygn 3 2 4 end
end
not read
