// Nodes the playback filter has grabbed cannot be grabbed twice (EVIOCGRAB answers EBUSY), so
// they are recorded through that filter's recording sink instead.
#include "keys/KeyRecordingSession.h"

#include "keys/EvdevNode.h"
#include "keys/InputNodeFinder.h"
#include "keys/KeyRecorder.h"

#include <algorithm>

KeyRecordingSession::KeyRecordingSession(HidUsbFilter& playbackFilter, KeyRecorder& recorder)
    : m_playbackFilter(playbackFilter), m_recorder(recorder)
{
}

KeyRecordingSession::~KeyRecordingSession()
{
    Stop();
}

bool KeyRecordingSession::Start(std::vector<std::string> keyboardNodes)
{
    Stop();
    m_recorder.Reset();
    if (keyboardNodes.empty())
        keyboardNodes = InputNodeFinder::FindAllKeyboards();
    std::vector<std::string> held = m_playbackFilter.IsRunning() ? m_playbackFilter.NodeNames()
                                                                 : std::vector<std::string>{};
    std::vector<std::unique_ptr<IKeyboardNode>> nodes;
    for (const std::string& path : keyboardNodes) {
        if (std::find(held.begin(), held.end(), path) != held.end())
            continue;
        std::string error;
        if (auto node = EvdevNode::Open(path, error, false))
            nodes.push_back(std::move(node));
    }
    if (nodes.empty() && held.empty())
        return false;
    m_active = true;
    m_playbackFilter.SetRecordingSink(&m_recorder);
    m_others.SetRecordingSink(&m_recorder);
    if (!nodes.empty())
        m_others.Start(std::move(nodes));
    return true;
}

void KeyRecordingSession::Stop()
{
    if (!m_active)
        return;
    m_others.Stop();
    m_others.SetRecordingSink(nullptr);
    m_playbackFilter.SetRecordingSink(nullptr);
    m_active = false;
}
