// Worker thread base: runs DoWork until stopped.
#include "app/CThreadBasic.h"

CThreadBasic::~CThreadBasic() {
    // The derived part is gone by now; a thread still running would call into it.
    if (m_thread.joinable()) {
        m_running = false;
        m_thread.join();
    }
}

bool CThreadBasic::Start(bool loop) {
    if (m_running || m_thread.joinable()) return false;
    m_running = true;
    m_thread = std::thread([this, loop] { Run(loop); });
    return true;
}

void CThreadBasic::Run(bool loop) {
    if (!loop) {
        DoWork();
        return;
    }
    while (m_running)
        DoWork();
}

void CThreadBasic::Stop() {
    m_running = false;
    WakeUp();
    // A job under way (an upload takes seconds) is finished rather than abandoned: leaving the
    // thread behind would let it use the objects its owner is about to destroy.
    if (m_thread.joinable()) m_thread.join();
}
