// Draws the sample receipt of examples/receipt.png: 576 dots wide (an 80 mm roll), with a logo,
// lines that look like text, a red rule above the total, a grey ramp and a bar code.
// Usage: make-receipt OUTPUT.png
#include <cstdint>
#include <iostream>
#include <string>

#include "png_picture.h"

namespace {

constexpr LONG kWidth = 576;
constexpr LONG kMargin = 24;
constexpr ULONG kBlack = 0x000000, kRed = 0xFF0000, kWhite = 0xFFFFFF;

// The same "random" word widths on every run, so the picture never changes.
class Words {
public:
    LONG Next(LONG low, LONG high) {
        state_ = state_ * 1103515245u + 12345u;
        return low + static_cast<LONG>((state_ >> 16) % static_cast<uint32_t>(high - low + 1));
    }

private:
    uint32_t state_ = 2024;
};

// A line of "text": words as blocks of the letter height, from `left` up to at most `right`.
LONG TextLine(HostPicture& p, Words& words, LONG top, LONG left, LONG right, LONG height, ULONG color) {
    LONG x = left;
    while (true) {
        LONG w = words.Next(18, 70);
        if (x + w > right) break;
        p.FillRect(x, top, x + w, top + height, color);
        x += w + height / 2 + 4;
    }
    return x;
}

// An item: its name on the left and its price against the right margin.
void ItemLine(HostPicture& p, Words& words, LONG top, LONG height) {
    TextLine(p, words, top, kMargin, kWidth / 2 + words.Next(0, 80), height, kBlack);
    LONG price = words.Next(40, 70);
    p.FillRect(kWidth - kMargin - price, top, kWidth - kMargin, top + height, kBlack);
}

void DashedRule(HostPicture& p, LONG top) {
    for (LONG x = kMargin; x < kWidth - kMargin; x += 12) p.FillRect(x, top, x + 7, top + 2, kBlack);
}

// The logo: a black ring around a red diamond, and a bold name block beside it.
void Logo(HostPicture& p, LONG top) {
    const LONG cx = 150, cy = top + 60, outer = 56, inner = 44, diamond = 30;
    for (LONG y = cy - outer; y <= cy + outer; ++y) {
        for (LONG x = cx - outer; x <= cx + outer; ++x) {
            LONG dx = x - cx, dy = y - cy, d2 = dx * dx + dy * dy;
            if (d2 <= outer * outer && d2 >= inner * inner) p.SetPixel(x, y, kBlack);
            if ((dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) <= diamond) p.SetPixel(x, y, kRed);
        }
    }
    p.FillRect(230, top + 30, 470, top + 62, kBlack); // shop name
    p.FillRect(230, top + 74, 420, top + 86, kBlack); // address line
    p.FillRect(230, top + 94, 380, top + 106, kBlack);
}

// From white to black in steps, so the dither has something to show.
void GreyRamp(HostPicture& p, LONG top, LONG height) {
    const LONG steps = 16, span = (kWidth - 2 * kMargin) / steps;
    for (LONG i = 0; i < steps; ++i) {
        ULONG level = static_cast<ULONG>(255 - i * 255 / (steps - 1));
        p.FillRect(kMargin + i * span, top, kMargin + (i + 1) * span, top + height, level * 0x010101);
    }
}

void BarCode(HostPicture& p, Words& words, LONG top, LONG height) {
    LONG x = 96;
    while (x < kWidth - 96) {
        LONG bar = words.Next(2, 6);
        p.FillRect(x, top, x + bar, top + height, kBlack);
        x += bar + words.Next(2, 6);
    }
}

HostPicture Receipt() {
    HostPicture p = HostPicture::Filled(kWidth, 860, kWhite);
    Words words;
    Logo(p, 16);
    LONG y = 160;
    TextLine(p, words, y, kMargin, kWidth - kMargin, 14, kBlack); // date and till
    y += 32;
    DashedRule(p, y);
    y += 20;
    for (int i = 0; i < 9; ++i, y += 30) ItemLine(p, words, y, 14);
    DashedRule(p, y);
    y += 20;
    ItemLine(p, words, y, 14); // subtotal
    y += 30;
    ItemLine(p, words, y, 14); // tax
    y += 34;
    p.FillRect(kMargin, y, kWidth - kMargin, y + 5, kRed);
    y += 17;
    p.FillRect(kMargin, y, kMargin + 150, y + 28, kBlack); // TOTAL
    p.FillRect(kWidth - kMargin - 130, y, kWidth - kMargin, y + 28, kBlack);
    y += 56;
    GreyRamp(p, y, 40);
    y += 64;
    TextLine(p, words, y, 120, kWidth - 120, 12, kRed); // thank-you line in red
    y += 40;
    BarCode(p, words, y, 90);
    return p;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-receipt OUTPUT.png\n";
        return 2;
    }
    std::string error;
    if (!picture::SavePng(argv[1], Receipt(), &error)) {
        std::cerr << "make-receipt: " << error << '\n';
        return 1;
    }
    return 0;
}
