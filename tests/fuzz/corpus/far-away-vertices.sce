% Vertices near 1e15 on every axis: they once shared one merge cell, which made
% loading quadratic in their number.
cmr c 0 0 -10 0 0 1 0 1 0 1 1 1 0 0 0 end
plnrMsh big tessellate 100 size 1000000000000000 vrtxPstn
1 1 1 2 1 1 2 2 1 1 2 1
4 1 1 5 1 1 5 2 1 4 2 1
7 1 1 8 1 1 8 2 1 7 2 1
10 1 1 11 1 1 11 2 1 10 2 1
13 1 1 14 1 1 14 2 1 13 2 1
16 1 1 17 1 1 17 2 1 16 2 1
19 1 1 20 1 1 20 2 1 19 2 1
22 1 1 23 1 1 23 2 1 22 2 1
25 1 1 26 1 1 26 2 1 25 2 1
28 1 1 29 1 1 29 2 1 28 2 1
31 1 1 32 1 1 32 2 1 31 2 1
34 1 1 35 1 1 35 2 1 34 2 1
end cmplxPly
plygn 0 1 2 3 end
plygn 4 5 6 7 end
plygn 8 9 10 11 end
plygn 12 13 14 15 end
plygn 16 17 18 19 end
plygn 20 21 22 23 end
plygn 24 25 26 27 end
plygn 28 29 30 31 end
plygn 32 33 34 35 end
plygn 36 37 38 39 end
plygn 40 41 42 43 end
plygn 44 45 46 47 end
end end
