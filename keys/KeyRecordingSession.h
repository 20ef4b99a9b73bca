// Keyboard capture for macro recording: every keyboard is grabbed and its keys go to the
// recorder instead of other programs. The keyboard the key filter already holds is switched
// to recording; the others are grabbed by a filter of the session's own.
#pragma once

#include "keys/HidUsbFilter.h"

#include <string>
#include <vector>

class KeyRecorder;

class KeyRecordingSession {
public:
    KeyRecordingSession(HidUsbFilter& playbackFilter, KeyRecorder& recorder);
    ~KeyRecordingSession();
    KeyRecordingSession(const KeyRecordingSession&) = delete;
    KeyRecordingSession& operator=(const KeyRecordingSession&) = delete;

    // Grabs `keyboardNodes` (by default every keyboard udev knows) except those the playback
    // filter holds. False when no keyboard could be taken: the window's key events must then
    // be fed to the recorder.
    bool Start(std::vector<std::string> keyboardNodes = {});
    // Gives every keyboard back and returns the playback filter to its key table.
    void Stop();

private:
    HidUsbFilter& m_playbackFilter;
    KeyRecorder& m_recorder;
    HidUsbFilter m_others;
    bool m_active = false;
};
