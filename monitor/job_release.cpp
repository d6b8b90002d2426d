// Releasing held and ended job records.
#include "job_release.h"

#include "monitor_state.h"

namespace lmon {

namespace {

// Lock held: cuts the list before `from` (the head or a later record) and returns `from`.
JobRecord* Cut(PortRecord* port, JobRecord* previous, JobRecord* from) {
    if (from == nullptr) {
        return nullptr;
    }
    if (previous == nullptr) {
        port->jobs = nullptr;
    } else {
        previous->next = nullptr;
    }
    return from;
}

bool Due(const JobRecord* job, DWORD now, DWORD wait) {
    return (job->flags & JR_IN_DOCUMENT) == 0 && now - job->endTick >= wait;
}

} // namespace

JobRecord* DetachJobs(PortRecord* port, DWORD key, BOOL byTime) {
    const DWORD wait = Monitor().endOfJobWait.load();
    MonitorLock lock;
    if (!byTime && key == RELEASE_ALL_JOBS) {
        return Cut(port, nullptr, port->jobs);
    }
    JobRecord* previous = nullptr;
    JobRecord* foundPrevious = nullptr;
    JobRecord* found = nullptr;
    for (JobRecord* job = port->jobs; job != nullptr; previous = job, job = job->next) {
        if (byTime ? Due(job, key, wait) : job->jobId == key) {
            found = job;
            foundPrevious = previous;
            if (byTime) {
                break; // the first due record from the newest
            }
        }
    }
    return Cut(port, foundPrevious, found);
}

JobRecord* DetachJobsFrom(PortRecord* port, JobRecord* job) {
    MonitorLock lock;
    JobRecord* previous = nullptr;
    for (JobRecord* each = port->jobs; each != nullptr; previous = each, each = each->next) {
        if (each == job) {
            return Cut(port, previous, each);
        }
    }
    return nullptr;
}

void ReportJobsEjected(JobRecord* list) {
    for (JobRecord* job = list; job != nullptr; job = job->next) {
        SetJobW(job->printer, job->jobId, 0, nullptr, JOB_CONTROL_LAST_PAGE_EJECTED);
    }
}

void ReleaseJobs(PortRecord* port, DWORD key, BOOL byTime) {
    // The spooler is told outside the lock: its own calls into the monitor must never wait for it.
    JobRecord* released = DetachJobs(port, key, byTime);
    ReportJobsEjected(released);
    FreeJobRecords(released);
}

bool PortHasJobs(PortRecord* port) {
    MonitorLock lock;
    return port->jobs != nullptr;
}

} // namespace lmon
