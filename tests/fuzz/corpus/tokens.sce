% tokens of every kind
"quoted end" end%comment
ENDE End -12.50 1e5 .5 +4 1.5.3 3D - 5 - a -( plygn{3 wall-2.left ^x _y "" ( ) , : ] [ sclr
"open quote at the end