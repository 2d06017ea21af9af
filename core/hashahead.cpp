// Hashing ahead of a run's worker. One pool for the process (one run at a
// time): the offers in the order the worker made them, each waiting, being
// hashed or hashed, under one lock; the helpers and the worker wait on one
// condition for any change.
#include "core/hashahead.h"

#include "base/textutil.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include <stdint.h>

#include <stdlib.h>

namespace {

enum JobState { JOB_WAITING, JOB_HASHING, JOB_HASHED };

struct AheadJob {
    int32_t EntryIndex;
    char *Path;
    uint64_t Size;
    int Mask;
    int State;
    bool Discarded;         // no one takes it: its helper frees it when done
    size_t CallCount;       // progress calls made, the final one included once done
    bool Unchanged;         // the file's stamp was read, the same, before and after
    FileStamp Stamp;
    HashOutcome Outcome;
};

std::mutex Lock;
std::condition_variable Changed;
std::vector<AheadJob *> Jobs;
std::vector<std::thread> Helpers;
bool Stopping, Discarding;
bool (*Cancelled)(void);
ReadFileStampFn ReadStamp;
std::atomic<int> LiveHelpers(0), JobsBegun(0);

void FreeJob(AheadJob *job)
{
    free(job->Path);
    delete job;
}

// Only the number of calls is kept: the percentages are told again from
// the recorded size, however many polls a file grown past it makes. A call
// that only asks whether to go on is not told again.
int ReportHelperProgress(void *context, int32_t percentage)
{
    AheadJob *job = (AheadJob *)context;
    if (percentage == PROGRESS_CHECK_ONLY) {
        bool stop;
        {
            std::lock_guard<std::mutex> hold(Lock);
            stop = Stopping || Discarding || job->Discarded;
        }
        return stop || Cancelled() ? -1 : 0;
    }
    bool stop;
    {
        std::lock_guard<std::mutex> hold(Lock);
        job->CallCount++;
        stop = Stopping || Discarding || job->Discarded;
    }
    Changed.notify_all();
    return stop || Cancelled() ? -1 : 0;
}

bool SameStamp(const FileStamp &a, const FileStamp &b)
{
    return a.Size == b.Size && a.LastWrite == b.LastWrite;
}

AheadJob *NextWaiting(void)
{
    for (AheadJob *job : Jobs)
        if (job->State == JOB_WAITING)
            return job;
    return nullptr;
}

void HelperLoop(void)
{
    // One read block for every file of this helper.
    unsigned char *block = (unsigned char *)malloc(HASH_READ_BLOCK_SIZE);
    std::unique_lock<std::mutex> hold(Lock);
    for (;;) {
        Changed.wait(hold, [] { return Stopping || NextWaiting() != nullptr; });
        if (Stopping)
            break;
        AheadJob *job = NextWaiting();
        job->State = JOB_HASHING;
        JobsBegun++;
        hold.unlock();
        HashOutcome outcome;
        FileStamp before, after;
        bool read = ReadStamp(job->Path, &before) == 0;
        HashFileWith(job->Path, job->Size, job->Mask, ReportHelperProgress, job, block,
                     block ? HASH_READ_BLOCK_SIZE : 0, &outcome);
        read = read && ReadStamp(job->Path, &after) == 0;
        hold.lock();
        job->Unchanged = read && SameStamp(before, after);
        job->Stamp = before;
        job->Outcome = outcome;
        job->State = JOB_HASHED;
        if (job->Discarded)
            FreeJob(job);
        Changed.notify_all();
    }
    hold.unlock();
    free(block);
    LiveHelpers--;
}

void HelperThread(void)
{
    HelperLoop();
}

// The entry's offer; null for none. The offers hold no discarded job: it
// leaves them when it is discarded.
AheadJob *FindJob(int32_t entryIndex)
{
    for (AheadJob *job : Jobs)
        if (job->EntryIndex == entryIndex)
            return job;
    return nullptr;
}

// Takes job out of the offers: freed now, or by its helper when done.
void LetGo(AheadJob *job)
{
    for (size_t i = 0; i < Jobs.size(); i++) {
        if (Jobs[i] == job) {
            Jobs.erase(Jobs.begin() + (long)i);
            break;
        }
    }
    if (job->State == JOB_HASHING)
        job->Discarded = true;
    else
        FreeJob(job);
}

} // namespace

int HashAheadStart(int helpers, bool (*cancelled)(void), ReadFileStampFn readStamp)
{
    std::lock_guard<std::mutex> hold(Lock);
    Stopping = Discarding = false;
    Cancelled = cancelled;
    ReadStamp = readStamp;
    JobsBegun = 0;
    if (helpers > HASH_AHEAD_MAX_HELPERS)
        helpers = HASH_AHEAD_MAX_HELPERS;
    // Room for every offer now: an offer never has to grow the list.
    try {
        Jobs.reserve(HASH_AHEAD_MAX_KEPT);
    } catch (...) {
        return 0;
    }
    for (int i = 0; i < helpers; i++) {
        // A helper that cannot start leaves the work to the others.
        try {
            Helpers.emplace_back(HelperThread);
            LiveHelpers++;
        } catch (...) {
            break;
        }
    }
    return (int)Helpers.size();
}

int HashAheadOffer(int32_t entryIndex, const char *path, uint64_t size, int mask)
{
    AheadJob *job = new (std::nothrow) AheadJob();
    char *copy = DuplicateText(path);
    if (job == nullptr || copy == nullptr) {
        delete job;
        free(copy);
        return -1;
    }
    job->EntryIndex = entryIndex;
    job->Path = copy;
    job->Size = size;
    job->Mask = mask;
    job->State = JOB_WAITING;
    {
        std::lock_guard<std::mutex> hold(Lock);
        if (Helpers.empty() || Stopping || Discarding || Jobs.size() >= HASH_AHEAD_MAX_KEPT) {
            FreeJob(job);
            return -1;
        }
        Jobs.push_back(job);
    }
    Changed.notify_all();
    return 0;
}

int HashAheadPending(void)
{
    std::lock_guard<std::mutex> hold(Lock);
    int pending = 0;
    for (AheadJob *job : Jobs)
        pending += job->State != JOB_HASHED;
    return pending;
}

int HashAheadTake(int32_t entryIndex, ReportProgressFn report, void *context, void (*whileWaiting)(void *),
                  void *waitContext, HashOutcome *outcome, FileStamp *stamp)
{
    std::unique_lock<std::mutex> hold(Lock);
    AheadJob *job = FindJob(entryIndex);
    if (job == nullptr)
        return 0;
    if (job->State == JOB_WAITING) {
        LetGo(job);
        return 0;
    }
    // The job's polls go to the worker's report in its turn, as they would
    // have come from its own job: a cancel answered at a poll ends the file
    // there, whenever the helper read it. A call is a poll when another
    // follows it; the last one of a done job is the final one.
    ProgressTicker ticker;
    ProgressTickerInit(&ticker, job->Size);
    size_t next = 0;
    bool cancelled = false;
    for (;;) {
        bool done = job->State == JOB_HASHED;
        while (!cancelled && next + 1 < job->CallCount) {
            next++;
            hold.unlock();
            cancelled = report(context, ProgressTickerAdvance(&ticker)) == -1;
            hold.lock();
        }
        if (cancelled || done)
            break;
        if (whileWaiting != nullptr) {
            hold.unlock();
            whileWaiting(waitContext);
            hold.lock();
        }
        // The job may have gone on while the lock was let go above.
        Changed.wait(hold, [&] { return job->State == JOB_HASHED || next + 1 < job->CallCount; });
    }
    bool called = job->CallCount > 0;
    *outcome = job->Outcome;
    if (cancelled) {
        outcome->Result = -1;
        LetGo(job);
        hold.unlock();
        report(context, 100);   // the final call, as the job's own
        return 1;
    }
    // Only a whole reading is used: a file the helper could not open (held
    // by another program for a moment), or that was written while a helper
    // read it or since, is read again by the worker. Only the worker takes
    // or lets go of a job, so it stays while the lock is let go for the
    // look-up.
    hold.unlock();
    FileStamp now;
    bool usable = job->Outcome.Result == 0 && job->Unchanged && ReadStamp(job->Path, &now) == 0 &&
                  SameStamp(now, job->Stamp);
    if (usable && stamp != nullptr)
        *stamp = job->Stamp;
    hold.lock();
    LetGo(job);
    hold.unlock();
    if (!usable)
        return 0;
    if (called)
        report(context, 100);   // the final call
    return 1;
}

void HashAheadDiscard(void)
{
    {
        std::lock_guard<std::mutex> hold(Lock);
        Discarding = true;
        for (AheadJob *job : Jobs) {
            if (job->State == JOB_HASHING)
                job->Discarded = true;  // its helper frees it
            else
                FreeJob(job);
        }
        Jobs.clear();
    }
    Changed.notify_all();
}

void HashAheadStop(void)
{
    {
        std::lock_guard<std::mutex> hold(Lock);
        Stopping = true;
    }
    Changed.notify_all();
    for (std::thread &helper : Helpers)
        helper.join();
    std::lock_guard<std::mutex> hold(Lock);
    Helpers.clear();
    for (AheadJob *job : Jobs)
        FreeJob(job);
    Jobs.clear();
    Stopping = Discarding = false;
}

int HashAheadLiveHelpers(void)
{
    return LiveHelpers;
}

int HashAheadJobsBegun(void)
{
    return JobsBegun;
}
