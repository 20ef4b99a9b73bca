// ioctl wrappers for one keyboard node; the only code that grabs real devices.
#include "keys/EvdevNode.h"

#include "keys/UinputDevice.h"

#include <linux/input.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

EvdevNode::EvdevNode(int fd, std::string path, std::unique_ptr<UinputDevice> clone)
    : m_fd(fd), m_path(std::move(path)), m_clone(std::move(clone))
{
}

EvdevNode::~EvdevNode()
{
    if (m_grabbed)
        (void)SetGrab(false);
    m_clone.reset();
    ::close(m_fd);
}

std::unique_ptr<EvdevNode> EvdevNode::Open(const std::string& path, std::string& error, bool withClone)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<UinputDevice> clone;
    if (withClone)
        clone = UinputDevice::CreateClone(fd, error);
    if (withClone && !clone) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<EvdevNode>(new EvdevNode(fd, path, std::move(clone)));
}

int EvdevNode::OutputFd() const
{
    return m_clone ? m_clone->Fd() : -1;
}

bool EvdevNode::QueryHeldKeys(KeyBits& held)
{
    unsigned char bits[KEY_CNT / 8] = {};
    if (::ioctl(m_fd, EVIOCGKEY(sizeof bits), bits) < 0)
        return false;
    held.reset();
    for (std::size_t code = 0; code < held.size(); ++code)
        if (bits[code / 8] & (1u << (code % 8)))
            held.set(code);
    return true;
}

bool EvdevNode::SetGrab(bool grab)
{
    if (::ioctl(m_fd, EVIOCGRAB, grab ? 1 : 0) < 0)
        return false;
    m_grabbed = grab;
    return true;
}
