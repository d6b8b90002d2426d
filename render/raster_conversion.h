// Turning the rendered 24-bit page into printer dots: the 8 x 8 ordered-dither threshold matrices, the
// mono and two-colour conversions, and the clockwise turn that stands a landscape page upright.
#pragma once

#include <cstddef>

#include "platform.h"
#include "platform_owners.h"

// Thresholds indexed by (row mod 8, column mod 8) of the pixel in the upright page.
extern const BYTE DITHER_MONO[8][8];
extern const BYTE DITHER_TWO_COLOUR[8][8];

// Mono: one bit per dot, 1 = printed, leftmost dot in the most significant bit; the dots of all
// rows x width pixels are packed in row order. Returns the bytes written (rows x width / 8), 0 when an
// input is missing or zero or the stride is shorter than a row of pixels.
ULONG ConvertMono(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output);

// Two-colour: per run of eight pixels a first-plane byte then a second-plane byte
// (black 1/1, colour 1/0, white 0/0). Returns the bytes written (2 per eight pixels), 0 as above.
ULONG ConvertTwoColour(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output);

// The same two without their vector paths, as a machine without SSE2 runs them: the same bytes, kept
// callable so that both ways are held to the plain rules.
ULONG ConvertMonoPlain(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output);
ULONG ConvertTwoColourPlain(const BYTE* pixels, ULONG rows, size_t stride, ULONG width, BYTE* output);

// Stride of a 24-bit image row: three bytes a pixel, rounded up to a multiple of four.
inline size_t PixelStride(size_t width) { return (width * 3 + 3) & ~static_cast<size_t>(3); }

// Turns an image of width x height (stride) clockwise into `upright`, an image of height x width whose
// stride is PixelStride(height); its padding bytes are white (0xFF). The left column of the source
// becomes the first row of the result.
void RotateClockwiseInto(const BYTE* image, ULONG width, ULONG height, size_t stride, BYTE* upright);

// The same turn a pixel at a time, without the two-by-two blocks of whole words.
void RotateClockwisePlainInto(const BYTE* image, ULONG width, ULONG height, size_t stride, BYTE* upright);

// The same into a new block from the process heap (padding white); empty when it cannot be allocated
// or the sizes are out of reach.
velt::HeapBlock RotateClockwise(const BYTE* image, ULONG width, ULONG height, size_t stride);
