// What velt print does while its job is on its way: it shows the job's status text whenever the
// language monitor holds the job ("VELT K9x: -Out of Paper, waiting (Ctrl-C cancels)") and says when
// the printer goes on, and it turns Ctrl-C (SIGINT) or SIGTERM into the platform's cancel: the job is
// deleted through SetJobW, so that the despooler stops writing and the monitor ends the printer's
// raster. Lines go to err one at a time, whichever thread writes them.
#pragma once

#include <atomic>
#include <csignal>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

namespace velt {

class JobWatch {
public:
    // Starts watching the printer's jobs; signals are taken from the process until the watch ends.
    JobWatch(std::u16string printer, std::ostream& err);
    ~JobWatch();
    JobWatch(const JobWatch&) = delete;
    JobWatch& operator=(const JobWatch&) = delete;

    // Whether a signal cancelled the job, and the job it cancelled (0 when none was queued).
    bool Cancelled() const { return cancelled_.load(); }
    unsigned long CancelledJob() const { return cancelledJob_.load(); }

    // Writes text to err without mixing it with the watch's own lines.
    void Say(const std::string& text);

    // The line shown while the monitor holds the job.
    static std::string HeldLine(const std::string& printer, const std::string& statusText);

private:
    void WatchStatus();
    void WatchSignals();
    void Cancel();

    const std::u16string printer_;
    std::ostream& err_;
    std::mutex lock_;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::atomic<bool> cancelled_{false};
    std::atomic<unsigned long> cancelledJob_{0};
    sigset_t signals_{};
    sigset_t previous_{};
    std::thread status_;
    std::thread signalThread_;
};

} // namespace velt
