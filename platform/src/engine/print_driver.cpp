#include "engine/internal.h"

namespace host::eng {
namespace {

// Table entries are typeless; each goes back to its own signature through the generic function type.
template <typename F>
void Take(PFN pfn, F* slot) {
    *slot = reinterpret_cast<F>(reinterpret_cast<void (*)()>(pfn));
}

} // namespace

bool TakeDriverFunctions(const DRVENABLEDATA& data, DriverFunctions* f, std::string* missing) {
    *f = {};
    if (data.pdrvfn) {
        for (ULONG i = 0; i < data.c; ++i) {
            const DRVFN& entry = data.pdrvfn[i];
            switch (entry.iFunc) {
            case INDEX_DrvEnablePDEV: Take(entry.pfn, &f->enablePdev); break;
            case INDEX_DrvCompletePDEV: Take(entry.pfn, &f->completePdev); break;
            case INDEX_DrvDisablePDEV: Take(entry.pfn, &f->disablePdev); break;
            case INDEX_DrvEnableSurface: Take(entry.pfn, &f->enableSurface); break;
            case INDEX_DrvDisableSurface: Take(entry.pfn, &f->disableSurface); break;
            case INDEX_DrvStartDoc: Take(entry.pfn, &f->startDoc); break;
            case INDEX_DrvEndDoc: Take(entry.pfn, &f->endDoc); break;
            case INDEX_DrvStartPage: Take(entry.pfn, &f->startPage); break;
            case INDEX_DrvStartBanding: Take(entry.pfn, &f->startBanding); break;
            case INDEX_DrvNextBand: Take(entry.pfn, &f->nextBand); break;
            case INDEX_DrvCopyBits: Take(entry.pfn, &f->copyBits); break;
            case INDEX_DrvStretchBlt: Take(entry.pfn, &f->stretchBlt); break;
            default: break; // entries printing pictures doesn't call
            }
        }
    }
    const std::pair<const char*, bool> needed[] = {
        {"DrvEnablePDEV", f->enablePdev != nullptr},
        {"DrvCompletePDEV", f->completePdev != nullptr},
        {"DrvDisablePDEV", f->disablePdev != nullptr},
        {"DrvEnableSurface", f->enableSurface != nullptr},
        {"DrvDisableSurface", f->disableSurface != nullptr},
        {"DrvStartDoc", f->startDoc != nullptr},
        {"DrvEndDoc", f->endDoc != nullptr},
        {"DrvStartPage", f->startPage != nullptr},
        {"DrvStartBanding", f->startBanding != nullptr},
        {"DrvNextBand", f->nextBand != nullptr},
    };
    for (const auto& [name, present] : needed) {
        if (!present) {
            *missing = name;
            return false;
        }
    }
    return true;
}

} // namespace host::eng
