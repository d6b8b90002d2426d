// The handle tables of the graphics engine. Each kind of object draws its handle values from its
// own range, so a mix-up between kinds is visible in a debugger as well as refused by the tables.
#include "engine/internal.h"

#include <atomic>
#include <map>

namespace host::eng {
namespace {

template <typename Object>
class Table {
public:
    explicit Table(ULONG_PTR firstValue) : next_(firstValue) {}

    ULONG_PTR Add(std::unique_ptr<Object> object) {
        std::lock_guard lock(mutex);
        ULONG_PTR value = next_++;
        objects_.emplace(value, std::move(object));
        return value;
    }
    Object* FindLocked(ULONG_PTR value) {
        auto it = objects_.find(value);
        return it == objects_.end() ? nullptr : it->second.get();
    }
    // Runs `use` on the object under the table's lock; false if there is none.
    template <typename Use>
    bool Visit(ULONG_PTR value, Use use) {
        std::lock_guard lock(mutex);
        Object* object = FindLocked(value);
        if (!object) return false;
        use(*object);
        return true;
    }
    std::unique_ptr<Object> Remove(ULONG_PTR value) {
        std::lock_guard lock(mutex);
        return RemoveLocked(value);
    }
    std::unique_ptr<Object> RemoveLocked(ULONG_PTR value) {
        auto it = objects_.find(value);
        if (it == objects_.end()) return nullptr;
        auto object = std::move(it->second);
        objects_.erase(it);
        return object;
    }
    long Count() {
        std::lock_guard lock(mutex);
        return static_cast<long>(objects_.size());
    }

    std::mutex mutex;

private:
    ULONG_PTR next_;
    std::map<ULONG_PTR, std::unique_ptr<Object>> objects_;
};

Table<Surface>& Surfaces() {
    static Table<Surface> table(0x10000010);
    return table;
}
Table<Palette>& Palettes() {
    static Table<Palette> table(0x20000010);
    return table;
}
Table<Device>& Devices() {
    static Table<Device> table(0x30000010);
    return table;
}
std::atomic<long> memoryBlocks{0};

template <typename H>
ULONG_PTR Value(H handle) {
    return reinterpret_cast<ULONG_PTR>(handle);
}

} // namespace

HSURF AddSurface(std::unique_ptr<Surface> surface) {
    return reinterpret_cast<HSURF>(Surfaces().Add(std::move(surface)));
}

std::unique_ptr<Surface> RemoveSurfaceLocked(HSURF handle) { return Surfaces().RemoveLocked(Value(handle)); }

std::mutex& SurfaceTableMutex() { return Surfaces().mutex; }

Surface* FindSurfaceLocked(HSURF handle, bool includeDeleted) {
    Surface* surface = Surfaces().FindLocked(Value(handle));
    if (surface && surface->deletePending && !includeDeleted) return nullptr;
    return surface;
}

HPALETTE AddPalette(std::unique_ptr<Palette> palette) {
    return reinterpret_cast<HPALETTE>(Palettes().Add(std::move(palette)));
}

bool RemovePalette(HPALETTE handle) { return Palettes().Remove(Value(handle)) != nullptr; }

bool CopyPalette(HPALETTE handle, Palette* copy) {
    return Palettes().Visit(Value(handle), [&](const Palette& found) { *copy = found; });
}

HDEV AddDevice() { return reinterpret_cast<HDEV>(Devices().Add(std::make_unique<Device>())); }

bool SetDevicePdev(HDEV device, DHPDEV pdev) {
    return Devices().Visit(Value(device), [&](Device& found) { found.pdev = pdev; });
}

bool FindDevicePdev(HDEV device, DHPDEV* pdev) {
    return Devices().Visit(Value(device), [&](const Device& found) { *pdev = found.pdev; });
}

bool RemoveDevice(HDEV device) { return Devices().Remove(Value(device)) != nullptr; }

LiveCounts CountLive() { return {Surfaces().Count(), Palettes().Count(), Devices().Count(), memoryBlocks.load()}; }

void CountMemoryBlock(long delta) { memoryBlocks += delta; }

} // namespace host::eng
