// The desktop clipboard as text typing needs it; the toolkit provides the implementation.
#pragma once

#include <string>

class IClipboard {
public:
    virtual ~IClipboard() = default;
    // Offers `utf8` as the clipboard's text; false when the clipboard could not be taken.
    virtual bool SetText(const std::string& utf8) = 0;
    // Gives up the clipboard's content.
    virtual void Clear() = 0;
};
