// The keyboard's media codes 232-249 and the HID consumer-page usage each one stands for.
#pragma once

#include <cstdint>

constexpr int kFirstMediaCode = 232;
constexpr int kLastMediaCode = 249;

// True for the codes 232-249, which name consumer-control keys instead of keyboard usages.
constexpr bool IsMediaCode(int code) {
    return code >= kFirstMediaCode && code <= kLastMediaCode;
}

// The consumer-page usage of media code `code`, or 0 when it is not a media code.
uint16_t MediaCodeToConsumerUsage(int code);
