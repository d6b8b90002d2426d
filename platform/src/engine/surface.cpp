// Surfaces: bitmaps the engine allocates (or wraps around a caller's pixels), banding marks,
// association with a device, locking and deletion.
#include <atomic>
#include <new>

#include "engine/internal.h"
#include <winbase.h>
#include "kernel/internal.h"

namespace {

// Larger surfaces are refused outright: far beyond any page of a roll printer, and cjBits must
// stay a 32-bit count.
constexpr uint64_t kMaxSurfaceBytes = 1ull << 30;

std::atomic<ULONG> nextUniq{1};

} // namespace

extern "C" {

HBITMAP EngCreateBitmap(SIZEL size, LONG width, ULONG format, FLONG flags, PVOID bits) {
    return host::Guarded<HBITMAP>(nullptr, [&]() -> HBITMAP {
        using namespace host::eng;
        if (BitsPerPixel(format) == 0 || size.cx <= 0 || size.cy <= 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        // Caller's pixels come with their own scan-line width; the engine's own are DWORD-aligned.
        uint64_t rowBytes = (static_cast<uint64_t>(size.cx) * BitsPerPixel(format) + 7) / 8;
        uint64_t stride = AlignedRowBytes(format, size.cx);
        if (bits) {
            stride = width < 0 ? -static_cast<int64_t>(width) : width;
            if (stride < rowBytes) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
        }
        uint64_t total = stride * static_cast<uint64_t>(size.cy);
        if (total > kMaxSurfaceBytes) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (host::AllocationFault().Hit()) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }

        auto surface = std::unique_ptr<Surface>(new (std::nothrow) Surface);
        if (!surface) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        BYTE* pixels = static_cast<BYTE*>(bits);
        if (!pixels) {
            surface->owned.reset((flags & BMF_NOZEROINIT) ? new (std::nothrow) BYTE[total]
                                                          : new (std::nothrow) BYTE[total]());
            if (!surface->owned) {
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                return nullptr;
            }
            pixels = surface->owned.get();
        }

        SURFOBJ& obj = surface->obj;
        obj.sizlBitmap = size;
        obj.cjBits = static_cast<ULONG>(total);
        obj.pvBits = pixels;
        // Bottom-up bitmaps start with their last scan line in memory.
        bool topDown = (flags & BMF_TOPDOWN) != 0;
        obj.lDelta = topDown ? static_cast<LONG>(stride) : -static_cast<LONG>(stride);
        obj.pvScan0 = topDown ? pixels : pixels + stride * static_cast<uint64_t>(size.cy - 1);
        obj.iUniq = nextUniq++;
        obj.iBitmapFormat = format;
        obj.iType = STYPE_BITMAP;
        obj.fjBitmap = static_cast<USHORT>(flags & (BMF_TOPDOWN | BMF_NOZEROINIT));

        Surface* raw = surface.get();
        HSURF handle = AddSurface(std::move(surface));
        // Nobody knows the handle yet, so the surface can't be touched before it names itself.
        raw->obj.hsurf = handle;
        return reinterpret_cast<HBITMAP>(handle);
    });
}

BOOL EngMarkBandingSurface(HSURF handle) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!host::eng::WithSurface(handle, [](host::eng::Surface& s) { s.banding = true; })) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        return TRUE;
    });
}

BOOL EngAssociateSurface(HSURF handle, HDEV device, FLONG hooks) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        using namespace host::eng;
        DHPDEV pdev = nullptr;
        if (!FindDevicePdev(device, &pdev)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        bool found = WithSurface(handle, [&](Surface& s) {
            s.obj.hdev = device;
            s.obj.dhpdev = pdev;
            s.hooks = hooks;
        });
        if (!found) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        return TRUE;
    });
}

BOOL EngDeleteSurface(HSURF handle) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        using namespace host::eng;
        std::unique_ptr<Surface> doomed; // dies after the table's lock is released
        {
            std::lock_guard lock(SurfaceTableMutex());
            Surface* surface = FindSurfaceLocked(handle);
            if (!surface) {
                SetLastError(ERROR_INVALID_HANDLE);
                return FALSE;
            }
            // A locked surface stays until its last lock goes, so the holder's SURFOBJ stays valid.
            if (surface->locks > 0) {
                surface->deletePending = true;
                return TRUE;
            }
            doomed = RemoveSurfaceLocked(handle);
        }
        return TRUE;
    });
}

SURFOBJ* EngLockSurface(HSURF handle) {
    return host::Guarded<SURFOBJ*>(nullptr, [&]() -> SURFOBJ* {
        SURFOBJ* obj = nullptr;
        if (!host::eng::WithSurface(handle, [&](host::eng::Surface& s) {
                ++s.locks;
                obj = &s.obj;
            }))
            SetLastError(ERROR_INVALID_HANDLE);
        return obj;
    });
}

void EngUnlockSurface(SURFOBJ* obj) {
    host::Guarded([&] {
        using namespace host::eng;
        if (!obj) return;
        std::unique_ptr<Surface> doomed;
        std::lock_guard lock(SurfaceTableMutex());
        Surface* surface = FindSurfaceLocked(obj->hsurf, true);
        // Only a SURFOBJ the engine handed out, and only as often as it was locked.
        if (!surface || &surface->obj != obj || surface->locks == 0) return;
        if (--surface->locks == 0 && surface->deletePending) doomed = RemoveSurfaceLocked(obj->hsurf);
    });
}

BOOL EngEraseSurface(SURFOBJ* surface, RECTL* rect, ULONG color) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        using namespace host::eng;
        if (!UsableSurface(surface) || !rect) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        // An inverted rectangle is empty, as everywhere in the engine.
        FillRect(*surface, Intersect(*rect, Bounds(*surface)), color);
        return TRUE;
    });
}

} // extern "C"
