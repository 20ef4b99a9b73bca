// A real /dev/input/event* keyboard node with its uinput clone: the kernel layer behind IKeyboardNode.
#pragma once

#include "keys/IKeyboardNode.h"

#include <memory>
#include <string>

class UinputDevice;

class EvdevNode final : public IKeyboardNode {
public:
    ~EvdevNode() override;
    // Opens `path` and, when `withClone`, creates its uinput clone; null with `error` set when
    // either fails. Recording needs no clone: it lets nothing through.
    static std::unique_ptr<EvdevNode> Open(const std::string& path, std::string& error, bool withClone = true);

    int EventFd() const override { return m_fd; }
    int OutputFd() const override;
    bool QueryHeldKeys(KeyBits& held) override;
    bool SetGrab(bool grab) override;
    std::string Name() const override { return m_path; }

private:
    EvdevNode(int fd, std::string path, std::unique_ptr<UinputDevice> clone);

    int m_fd = -1;
    std::string m_path;
    std::unique_ptr<UinputDevice> m_clone;
    bool m_grabbed = false;
};
