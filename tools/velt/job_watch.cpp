#include "job_watch.h"

#include <pthread.h>

#include <chrono>
#include <vector>

#include "host/testing.h"
#include "platform.h"
#include "platform_owners.h"

namespace velt {
namespace {

constexpr auto STATUS_PERIOD = std::chrono::milliseconds(250);

struct QueuedJob {
    DWORD id;
    std::u16string statusText;
};

std::vector<QueuedJob> QueuedJobs(HANDLE printer) {
    std::vector<QueuedJob> jobs;
    DWORD needed = 0, returned = 0;
    EnumJobsW(printer, 0, 0xFFFFFFFF, 1, nullptr, 0, &needed, &returned);
    if (needed == 0) return jobs;
    std::vector<BYTE> buffer(needed);
    if (!EnumJobsW(printer, 0, 0xFFFFFFFF, 1, buffer.data(), needed, &needed, &returned)) return jobs;
    const auto* info = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i)
        jobs.push_back({info[i].JobId, info[i].pStatus ? std::u16string(info[i].pStatus) : std::u16string()});
    return jobs;
}

} // namespace

JobWatch::JobWatch(std::u16string printer, std::ostream& err) : printer_(std::move(printer)), err_(err) {
    // Blocked in this thread before any other starts, so that every thread of the job leaves the
    // signals to the watch.
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
    status_ = std::thread([this] { WatchStatus(); });
    signalThread_ = std::thread([this] { WatchSignals(); });
}

JobWatch::~JobWatch() {
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
    }
    stop_.notify_all();
    status_.join();
    signalThread_.join();
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

std::string JobWatch::HeldLine(const std::string& printer, const std::string& statusText) {
    return printer + ": " + statusText + ", waiting (Ctrl-C cancels)\n";
}

void JobWatch::Say(const std::string& text) {
    std::lock_guard guard(lock_);
    err_ << text << std::flush;
}

void JobWatch::Cancel() {
    const PrinterHandle printer = OpenPrinterFor(printer_.c_str(), PRINTER_ACCESS_USE);
    if (!printer.get()) return;
    for (const QueuedJob& job : QueuedJobs(printer.get())) {
        if (SetJobW(printer.get(), job.id, 0, nullptr, JOB_CONTROL_DELETE) && cancelledJob_.load() == 0)
            cancelledJob_.store(job.id);
    }
}

void JobWatch::WatchSignals() {
    const timespec period{0, 100 * 1000 * 1000};
    for (;;) {
        {
            std::lock_guard guard(lock_);
            if (stopping_) return;
        }
        const int signal = sigtimedwait(&signals_, nullptr, &period);
        if (signal != SIGINT && signal != SIGTERM) continue;
        if (!cancelled_.exchange(true)) {
            Say("\nvelt print: cancelling the job\n");
            Cancel();
        }
    }
}

void JobWatch::WatchStatus() {
    const std::string printer = HostNarrow(printer_.c_str());
    std::u16string shown;
    std::unique_lock lock(lock_);
    while (!stop_.wait_for(lock, STATUS_PERIOD, [this] { return stopping_; })) {
        lock.unlock();
        std::u16string text;
        {
            const PrinterHandle opened = OpenPrinterFor(printer_.c_str(), PRINTER_ACCESS_USE);
            if (opened.get())
                for (const QueuedJob& job : QueuedJobs(opened.get()))
                    if (!job.statusText.empty()) text = job.statusText;
        }
        lock.lock();
        if (text == shown || cancelled_.load()) continue;
        if (!text.empty())
            err_ << HeldLine(printer, HostNarrow(text.c_str())) << std::flush;
        else
            err_ << printer << ": ready, printing goes on\n" << std::flush;
        shown = text;
    }
}

} // namespace velt
