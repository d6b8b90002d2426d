// Helpers of the engine tests: engine bitmaps that release themselves, and reading pixels back.
#pragma once

#include <gtest/gtest.h>

#include "host/engine.h"
#include "host/testing.h"
#include "platform.h"

// A locked engine bitmap, deleted with the object.
class TestBitmap {
public:
    TestBitmap(LONG width, LONG height, ULONG format = BMF_24BPP, FLONG flags = BMF_TOPDOWN)
        : handle_(reinterpret_cast<HSURF>(EngCreateBitmap({width, height}, 0, format, flags, nullptr))),
          obj_(handle_ ? EngLockSurface(handle_) : nullptr) {}
    ~TestBitmap() {
        if (obj_) EngUnlockSurface(obj_);
        if (handle_) EngDeleteSurface(handle_);
    }
    TestBitmap(const TestBitmap&) = delete;
    TestBitmap& operator=(const TestBitmap&) = delete;

    SURFOBJ* operator->() const { return obj_; }
    SURFOBJ* get() const { return obj_; }
    HSURF handle() const { return handle_; }

    // 24-bit pixels: colour 0x00RRGGBB, bytes B, G, R.
    ULONG Pixel(LONG x, LONG y) const {
        const BYTE* p = static_cast<const BYTE*>(obj_->pvScan0) + y * obj_->lDelta + x * 3;
        return p[0] | (p[1] << 8) | (static_cast<ULONG>(p[2]) << 16);
    }
    void SetPixel(LONG x, LONG y, ULONG color) {
        BYTE* p = static_cast<BYTE*>(obj_->pvScan0) + y * obj_->lDelta + x * 3;
        p[0] = static_cast<BYTE>(color);
        p[1] = static_cast<BYTE>(color >> 8);
        p[2] = static_cast<BYTE>(color >> 16);
    }
    void Fill(ULONG color) {
        RECTL all{0, 0, obj_->sizlBitmap.cx, obj_->sizlBitmap.cy};
        EngEraseSurface(obj_, &all, color);
    }
    // Every pixel as a row of characters: '.' for white, '#' for black, '?' for anything else,
    // so a failed comparison shows the picture.
    std::string Picture() const {
        std::string text;
        for (LONG y = 0; y < obj_->sizlBitmap.cy; ++y) {
            for (LONG x = 0; x < obj_->sizlBitmap.cx; ++x) {
                ULONG c = Pixel(x, y);
                text += c == 0xFFFFFF ? '.' : c == 0 ? '#' : '?';
            }
            text += '\n';
        }
        return text;
    }

private:
    HSURF handle_;
    SURFOBJ* obj_;
};

// Rows of '.' and '#' as a picture string, one row per argument.
inline std::string Rows(std::initializer_list<const char*> rows) {
    std::string text;
    for (const char* row : rows) (text += row) += '\n';
    return text;
}
