// Makes one allocation of this thread throw std::bad_alloc, as an allocation does when memory runs
// out: the Nth call of operator new from the moment it is armed, wherever it happens (in the host,
// in the standard library on the host's behalf). The program's own operator new (throwing_new.cpp)
// stands in for the standard one in every module of the process.
#pragma once

class ThrowingAllocation {
public:
    explicit ThrowingAllocation(unsigned nth); // 1 = the next allocation
    ~ThrowingAllocation();                     // disarms
    ThrowingAllocation(const ThrowingAllocation&) = delete;
    ThrowingAllocation& operator=(const ThrowingAllocation&) = delete;

    // Whether the armed allocation was reached (and threw).
    bool Thrown() const;
};
