// orvane-info --shape: a line of text shaped by HarfBuzz, printed as hb-shape
// prints it by default.
#pragma once

// argv[1] is "--shape". 0 when shaped, 1 when the file holds no such face or is a
// web font that is refused, 2 on
// bad usage or when the file cannot be read.
int ShapeCommand(int argc, char** argv);
