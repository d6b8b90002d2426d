// The two ordered-dither threshold matrices. The two-colour one differs in two cells (row 3 column 2 and
// row 4 column 4), so that it runs from 0 to 62 where the mono one runs from 1 to 63.
#include "raster_conversion.h"

const BYTE DITHER_MONO[8][8] = {
    {1, 33, 9, 41, 3, 35, 11, 43},    {59, 17, 49, 25, 57, 19, 51, 27}, {15, 47, 5, 37, 13, 45, 7, 39},
    {55, 31, 63, 21, 53, 29, 61, 23}, {2, 34, 10, 42, 1, 32, 8, 40},    {56, 18, 50, 26, 58, 16, 48, 24},
    {12, 44, 6, 38, 14, 46, 4, 36},   {52, 28, 60, 22, 54, 30, 62, 20},
};

const BYTE DITHER_TWO_COLOUR[8][8] = {
    {1, 33, 9, 41, 3, 35, 11, 43},    {59, 17, 49, 25, 57, 19, 51, 27}, {15, 47, 5, 37, 13, 45, 7, 39},
    {55, 31, 62, 21, 53, 29, 61, 23}, {2, 34, 10, 42, 0, 32, 8, 40},    {56, 18, 50, 26, 58, 16, 48, 24},
    {12, 44, 6, 38, 14, 46, 4, 36},   {52, 28, 60, 22, 54, 30, 62, 20},
};
