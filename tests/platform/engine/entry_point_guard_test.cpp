// The engine's entry points when memory runs out: an allocation the host's fault injection fails, or
// any allocation inside the call that throws std::bad_alloc, gives the call's failure value with
// ERROR_NOT_ENOUGH_MEMORY; no exception leaves the call and no engine object is left behind.
#include <cctype>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "engine_test_support.h"
#include "throwing_new.h"

namespace {

constexpr DWORD kOutOfMemory = ERROR_NOT_ENOUGH_MEMORY;

// How the call is made to run out of memory: the host's allocation fault point, or the Nth
// allocation inside the call throwing.
struct Fault {
    enum Kind { HostAllocation, ThrownAllocation } kind;
    unsigned nth;
};

// What one call did: whether it succeeded (and released what it made again), whether the armed
// allocation was reached, and the last error.
struct Outcome {
    bool succeeded = false;
    bool thrown = false;
    DWORD error = 0;
};

struct Call {
    const char* name;
    bool hostFaultApplies; // the call takes its memory through the host's allocation fault point
    std::function<Outcome(Fault)> run;
};

void PrintTo(const Call& call, std::ostream* out) { *out << call.name; }

// Makes the call with the fault armed for the call alone, not for what is made before or after it.
template <typename F>
Outcome Measure(Fault fault, F call) {
    Outcome outcome;
    SetLastError(ERROR_SUCCESS);
    if (fault.kind == Fault::HostAllocation) {
        HostFailAllocation(fault.nth);
        outcome.succeeded = call();
        HostFailAllocation(0);
    } else {
        ThrowingAllocation armed(fault.nth);
        outcome.succeeded = call();
        outcome.thrown = armed.Thrown();
    }
    outcome.error = GetLastError();
    return outcome;
}

std::vector<Call> Calls() {
    return {
        {"EngCreatePalette indexed", true,
         [](Fault fault) {
             std::vector<ULONG> colors(256, 0x808080);
             HPALETTE palette = nullptr;
             Outcome o = Measure(fault, [&] {
                 palette = EngCreatePalette(PAL_INDEXED, 256, colors.data(), 0, 0, 0);
                 return palette != nullptr;
             });
             if (palette) EngDeletePalette(palette);
             return o;
         }},
        {"EngCreatePalette bit fields", true,
         [](Fault fault) {
             HPALETTE palette = nullptr;
             Outcome o = Measure(fault, [&] {
                 palette = EngCreatePalette(PAL_BITFIELDS, 0, nullptr, 0xFF0000, 0x00FF00, 0x0000FF);
                 return palette != nullptr;
             });
             if (palette) EngDeletePalette(palette);
             return o;
         }},
        {"EngCreateBitmap with the engine's pixels", true,
         [](Fault fault) {
             HBITMAP bitmap = nullptr;
             Outcome o = Measure(fault, [&] {
                 bitmap = EngCreateBitmap({64, 32}, 0, BMF_24BPP, BMF_TOPDOWN, nullptr);
                 return bitmap != nullptr;
             });
             if (bitmap) EngDeleteSurface(reinterpret_cast<HSURF>(bitmap));
             return o;
         }},
        {"EngCreateBitmap around the caller's pixels", true,
         [](Fault fault) {
             std::vector<BYTE> pixels(12 * 4);
             HBITMAP bitmap = nullptr;
             Outcome o = Measure(fault, [&] {
                 bitmap = EngCreateBitmap({4, 4}, 12, BMF_24BPP, BMF_TOPDOWN, pixels.data());
                 return bitmap != nullptr;
             });
             if (bitmap) EngDeleteSurface(reinterpret_cast<HSURF>(bitmap));
             return o;
         }},
        {"EngComputeGlyphSet", true,
         [](Fault fault) {
             FD_GLYPHSET* set = nullptr;
             Outcome o = Measure(fault, [&] {
                 set = EngComputeGlyphSet(0, 32, 224);
                 return set != nullptr;
             });
             if (set) EngFreeMem(set);
             return o;
         }},
        {"EngStretchBlt halftone", false,
         [](Fault fault) {
             TestBitmap source(40, 20), target(13, 7);
             target.Fill(0xFFFFFF);
             RECTL to{0, 0, 13, 7}, from{0, 0, 40, 20};
             return Measure(fault, [&] {
                 return EngStretchBlt(target.get(), source.get(), nullptr, nullptr, nullptr, nullptr, nullptr, &to,
                                      &from, nullptr, HALFTONE) != FALSE;
             });
         }},
        {"HostEngineCreateDevice", false,
         [](Fault fault) {
             HDEV device = nullptr;
             Outcome o = Measure(fault, [&] {
                 device = HostEngineCreateDevice();
                 return device != nullptr;
             });
             if (device) HostEngineDeleteDevice(device);
             return o;
         }},
    };
}

// The calls that take their memory through the host's allocation fault point.
std::vector<Call> HostHeapCalls() {
    std::vector<Call> calls;
    for (Call& call : Calls())
        if (call.hostFaultApplies) calls.push_back(std::move(call));
    return calls;
}

class EngineHostAllocationFault : public ::testing::TestWithParam<Call> {
protected:
    void TearDown() override { HostFailAllocation(0); }
};

class EngineThrownAllocation : public ::testing::TestWithParam<Call> {};

TEST_P(EngineHostAllocationFault, FailsTheCall) {
    const Call& call = GetParam();
    const HostEngineCounts before = HostEngineLiveObjects();
    const Outcome o = call.run({Fault::HostAllocation, 1});
    EXPECT_FALSE(o.succeeded);
    EXPECT_EQ(o.error, kOutOfMemory);
    EXPECT_EQ(HostEngineLiveObjects(), before);
}

// Every allocation the call makes is made to throw in turn, until the call makes fewer than that and
// succeeds. Each one comes back as the failure value, never as an exception; only an allocation the
// call can do without (std::stable_sort's buffer) may let it succeed all the same.
TEST_P(EngineThrownAllocation, FailsTheCallAtEveryAllocationAndLeavesNothing) {
    const Call& call = GetParam();
    const HostEngineCounts before = HostEngineLiveObjects();
    unsigned failed = 0;
    for (unsigned nth = 1; nth < 1000; ++nth) {
        Outcome o;
        ASSERT_NO_THROW(o = call.run({Fault::ThrownAllocation, nth})) << call.name << ", allocation " << nth;
        EXPECT_EQ(HostEngineLiveObjects(), before) << call.name << ", allocation " << nth;
        if (!o.thrown) {
            EXPECT_TRUE(o.succeeded) << call.name << " after " << nth - 1 << " allocations";
            break;
        }
        if (!o.succeeded) {
            ++failed;
            EXPECT_EQ(o.error, kOutOfMemory) << call.name << ", allocation " << nth;
        }
    }
    EXPECT_GT(failed, 0u) << call.name << " never failed, so no failure was tried";
}

std::string CallName(const ::testing::TestParamInfo<Call>& info) {
    // "EngCreatePalette bit fields" -> "EngCreatePaletteBitFields"
    std::string name;
    bool capital = false;
    for (const char* c = info.param.name; *c; ++c) {
        const auto ch = static_cast<unsigned char>(*c);
        if (!std::isalnum(ch)) {
            capital = true;
            continue;
        }
        name += static_cast<char>(capital ? std::toupper(ch) : ch);
        capital = false;
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Entries, EngineHostAllocationFault, ::testing::ValuesIn(HostHeapCalls()), CallName);
INSTANTIATE_TEST_SUITE_P(Entries, EngineThrownAllocation, ::testing::ValuesIn(Calls()), CallName);

} // namespace
