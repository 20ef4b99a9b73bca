// How the lighting page reaches the worker: the two upload jobs, the pending-upload test and the wait dialog.
#pragma once

class ILightingJobs {
public:
    virtual ~ILightingJobs() = default;
    // Queues JOB_WRITE_LIGHTING: the worker sends the profile's selected effect as stored when it runs.
    virtual void QueueLightingUpload() = 0;
    // Queues JOB_WRITE_KEY_COLOURS: the worker sends the shared per-key colour set.
    virtual void QueueKeyColourUpload() = 0;
    // True while a JOB_WRITE_LIGHTING waits in the queue and has not started yet. Such a job reads
    // the record when it starts, so a change stored now still reaches the keyboard with it; a job
    // already running (even if still at the queue's front) does not count.
    virtual bool LightingUploadWaiting() = 0;
    // Opens the wait dialog, closing one that is open; the worker closes it after the upload.
    virtual void ShowWaitDialog() = 0;
};
