#pragma once

#include "tools/camsim/SimCamera.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace camsim {

// The 320-byte camera record of the DH protocol, as camsim lays it out by itself: fixed-width fields
// at fixed offsets, texts NUL-padded, the HTTP port little-endian. Never reorder or resize a field.
class DhRecord {
public:
    static constexpr std::size_t kSize = 320;
    using Bytes = std::array<std::uint8_t, kSize>;
    using View = std::span<const std::uint8_t, kSize>;

    struct Field {
        std::size_t offset;
        std::size_t width;
    };
    static constexpr Field kIp{0, 16};
    static constexpr Field kMask{16, 16};
    static constexpr Field kGateway{32, 16};
    static constexpr Field kExtra{48, 16};
    static constexpr Field kDns{64, 16};
    static constexpr Field kReserved1{80, 6};
    static constexpr Field kPort{86, 2};
    static constexpr Field kP2p{88, 32};
    static constexpr Field kName{120, 80};
    static constexpr Field kSysVersion{200, 16};
    static constexpr Field kAppVersion{216, 16};
    static constexpr Field kUser{232, 32};
    static constexpr Field kPassword{264, 32};
    static constexpr Field kReserved2{296, 1};
    static constexpr Field kDhcp{297, 1};
    static constexpr Field kReserved3{298, 22};
    static_assert(kReserved3.offset + kReserved3.width == kSize, "the fields fill the record exactly");

    // The camera's record; a text longer than its field is cut to the field's width.
    static Bytes Encode(const SimCamera& camera);
    // A text field up to its first NUL, never past its width.
    static std::string Text(View record, Field field);
    static std::uint16_t Port(View record);
};

} // namespace camsim
