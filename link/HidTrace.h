// Packet trace: every report in both directions, one line each, for debugging a keyboard.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <span>
#include <string>

enum class TraceDirection { ToDevice, FromDevice };
enum class TraceKind { Feature, Output };

// Lines read "<ms since start> <'>' or '<'> <feature|output> <bytes as upper-case hex pairs>".
class HidTrace {
public:
    // The trace named by MOLVANE_HID_TRACE ("-" = standard error), or null when unset or unopenable.
    static std::shared_ptr<HidTrace> FromEnvironment();
    // Opens `target` for appending ("-" = standard error); null when it cannot be opened.
    static std::shared_ptr<HidTrace> Open(const std::string& target);
    ~HidTrace();
    HidTrace(const HidTrace&) = delete;
    HidTrace& operator=(const HidTrace&) = delete;

    void Log(TraceDirection direction, TraceKind kind, std::span<const uint8_t> bytes);

    // One trace line without the time stamp, e.g. "> feature 07 FB 01".
    static std::string FormatLine(TraceDirection direction, TraceKind kind, std::span<const uint8_t> bytes);

private:
    HidTrace(FILE* file, bool owned);

    std::mutex m_mutex;
    FILE* m_file;
    bool m_owned;
    std::chrono::steady_clock::time_point m_start;
};
