// Releasing job records: detached from their port's job list under the monitor lock, each reported to
// the spooler as last page ejected, its printer closed and the record freed.
#pragma once

#include "platform.h"
#include "port_record.h"

namespace lmon {

#define RELEASE_ALL_JOBS ((DWORD)-1)

// key RELEASE_ALL_JOBS with byTime FALSE: every record. byTime FALSE with a job id: the last record in
// list order with that id, and every older one. byTime TRUE with key = the current tick count: the
// first record (from the newest) that is out of its document and whose end-of-job wait has passed
// (now - endTick >= the wait, counted so that the tick count's wrap-around changes nothing), and
// every older one.
void ReleaseJobs(PortRecord* port, DWORD key, BOOL byTime);

// The detaching part of ReleaseJobs (monitor lock taken inside): the detached records, newest first.
JobRecord* DetachJobs(PortRecord* port, DWORD key, BOOL byTime);
// Detaches `job` and every older record of the port.
JobRecord* DetachJobsFrom(PortRecord* port, JobRecord* job);
// Job control JOB_CONTROL_LAST_PAGE_EJECTED for every record of a detached list.
void ReportJobsEjected(JobRecord* list);

// Whether the port has any job record.
bool PortHasJobs(PortRecord* port);

} // namespace lmon
