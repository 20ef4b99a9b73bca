// Packet trace writer.
#include "link/HidTrace.h"

#include <cstdlib>

HidTrace::HidTrace(FILE* file, bool owned)
    : m_file(file), m_owned(owned), m_start(std::chrono::steady_clock::now()) {}

HidTrace::~HidTrace() {
    if (m_owned) std::fclose(m_file);
}

std::shared_ptr<HidTrace> HidTrace::FromEnvironment() {
    const char* target = std::getenv("MOLVANE_HID_TRACE");
    if (target == nullptr || *target == '\0') return nullptr;
    return Open(target);
}

std::shared_ptr<HidTrace> HidTrace::Open(const std::string& target) {
    if (target == "-") return std::shared_ptr<HidTrace>(new HidTrace(stderr, false));
    FILE* file = std::fopen(target.c_str(), "a");
    if (file == nullptr) return nullptr;
    return std::shared_ptr<HidTrace>(new HidTrace(file, true));
}

std::string HidTrace::FormatLine(TraceDirection direction, TraceKind kind, std::span<const uint8_t> bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string line = direction == TraceDirection::ToDevice ? "> " : "< ";
    line += kind == TraceKind::Feature ? "feature" : "output";
    for (uint8_t b : bytes) {
        line += ' ';
        line += kHex[b >> 4];
        line += kHex[b & 0x0F];
    }
    return line;
}

void HidTrace::Log(TraceDirection direction, TraceKind kind, std::span<const uint8_t> bytes) {
    const std::string line = FormatLine(direction, kind, bytes);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start)
            .count();
    std::lock_guard lock(m_mutex);
    std::fprintf(m_file, "%lld %s\n", static_cast<long long>(ms), line.c_str());
    // Flushed per line so the trace survives a crash or an unplug mid-sequence.
    std::fflush(m_file);
}
