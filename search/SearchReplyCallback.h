#pragma once

#include <cstdint>

// Called on a receiver thread for each accepted reply: payload points into the receiver's buffer
// and is valid only during the call. The result is ignored.
using SearchReplyCallback = int (*)(std::uint32_t code, std::int32_t length, const std::uint8_t* payload,
                                    void* context, std::int32_t slot);

inline constexpr int kMaxSlots = 5;
