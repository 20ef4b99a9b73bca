// The one hook through which every page change reaches the software key filter.
#pragma once

class IPlaybackArm {
public:
    virtual ~IPlaybackArm() = default;
    // Rebuilds the filter's table from the current profile's stored assignments.
    virtual void ArmSoftwarePlayback() = 0;
};
