// A port monitor for the language monitor's tests: the MONITOR table the monitor is given on
// OpenPortEx. Every port records every call and every byte written, answers the status query with a
// settable reply and ReadPort with settable bytes, and can be told to take writes in pieces, take
// nothing, fail, or hold a status query until the test lets it go.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform.h"

struct FakePortEvent {
    std::string call;           // "open", "start", "write", "read", "end", "close", "query"
    std::vector<uint8_t> bytes; // what a write took, what a read gave, what a query was sent
    DWORD value = 0;            // the job id of a start, the control id of a query
    DWORD tick = 0;             // the tick count when it was called
};

struct FakePortState {
    std::u16string name;
    bool open = false;
    std::vector<FakePortEvent> events;
    std::vector<uint8_t> written; // every byte written, in order

    // Answers.
    std::vector<uint8_t> statusReply{0, 0, 0, 0}; // returned in full by a status query
    bool statusFails = false;
    std::vector<uint8_t> readReply; // what ReadPort gives
    bool readFails = false;
    DWORD mostPerWrite = 0xFFFFFFFF; // a write takes at most this many bytes
    bool writeTakesNothing = false;  // succeeds with 0 bytes written
    int failWrites = 0;              // the next N writes fail
    bool startFails = false;
    bool holdQueries = false; // a status query waits until released
    bool queryHeld = false;   // a query is waiting now
};

class FakePortMonitor {
public:
    // The table; every entry the monitor calls is filled in.
    static const MONITOR& Table();
    // Forgets every port.
    static void Reset();

    // Runs `change` on the named port's state (made if new), under the fake's lock.
    template <typename F>
    static auto With(const std::u16string& name, F change) {
        std::lock_guard guard(Lock());
        return change(State(name));
    }
    static std::vector<uint8_t> Written(const std::u16string& name);
    static std::vector<FakePortEvent> Events(const std::u16string& name);
    static int Count(const std::u16string& name, const std::string& call);
    // Lets a held status query go on.
    static void ReleaseQueries(const std::u16string& name);

    static std::mutex& Lock();
    static std::condition_variable& Changed();
    static FakePortState& State(const std::u16string& name);
};
