// Codes of the worker's jobs, and the few facts the job loop needs about them.
#pragma once

enum JobCode : int {
    JOB_FIRST_SCAN = 1,
    JOB_RESCAN = 2, // 2 on arrival, 3 on removal
    JOB_RESCAN_REMOVAL = 3,
    JOB_SELECT_DEVICE = 4,
    JOB_READ_DEVICE = 5,
    JOB_WRITE_PROFILE = 6,
    JOB_WRITE_LIGHTING = 7,
    JOB_WRITE_KEY_COLOURS = 8,
    JOB_RESET_DEVICE = 10,
    JOB_CHECK_SOFTWARE = 12,
    JOB_CHECK_FIRMWARE = 13,
    JOB_UPDATE_SOFTWARE = 14,
    JOB_UPDATE_FIRMWARE = 15,
};

// Jobs that need no keyboard: the scans and the program's own update check and update.
constexpr bool RunsWithoutKeyboard(int code) {
    return code == JOB_FIRST_SCAN || code == JOB_RESCAN || code == JOB_RESCAN_REMOVAL ||
           code == JOB_CHECK_SOFTWARE || code == JOB_UPDATE_SOFTWARE;
}

// Jobs that write configuration to the keyboard under the wait dialog.
constexpr bool IsWriteJob(int code) {
    return code == JOB_WRITE_PROFILE || code == JOB_WRITE_LIGHTING || code == JOB_WRITE_KEY_COLOURS ||
           code == JOB_RESET_DEVICE;
}

// Bits of the load mask: which pages a device read refreshes.
enum LoadMaskBits : int { LOAD_PROFILES = 1, LOAD_MACROS = 2, LOAD_LIGHTING = 4, LOAD_ALL = 127 };

// Where the pages queue their jobs.
class IJobSink {
public:
    virtual ~IJobSink() = default;
    virtual void QueueJob(int code) = 0;
    // Opens the wait dialog (closing one that is open); the worker closes it after a write job.
    virtual void ShowWaitDialog() = 0;
};
