// Media code to consumer usage table.
#include "link/MediaCodes.h"

namespace {

constexpr uint16_t kConsumerUsages[kLastMediaCode - kFirstMediaCode + 1] = {
    0x183, // 232
    0x0EA, // 233
    0x0E9, // 234
    0x0E2, // 235
    0x0B7, // 236
    0x0B6, // 237
    0x0CD, // 238
    0x0B5, // 239
    0x18A, // 240
    0x223, // 241
    0x192, // 242
    0x224, // 243
    0x225, // 244
    0x226, // 245
    0x227, // 246
    0x221, // 247
    0x22A, // 248
    0x194, // 249
};

} // namespace

uint16_t MediaCodeToConsumerUsage(int code) {
    return IsMediaCode(code) ? kConsumerUsages[code - kFirstMediaCode] : 0;
}
