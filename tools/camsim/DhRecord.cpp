#include "tools/camsim/DhRecord.h"

#include <algorithm>

namespace camsim {
namespace {

void PutText(DhRecord::Bytes& record, DhRecord::Field field, const std::string& text) {
    const std::size_t n = std::min(text.size(), field.width);
    std::copy_n(text.begin(), n, record.begin() + static_cast<std::ptrdiff_t>(field.offset));
}

template <std::size_t N>
void PutBytes(DhRecord::Bytes& record, DhRecord::Field field, const std::array<std::uint8_t, N>& bytes) {
    static_assert(N > 0);
    std::copy_n(bytes.begin(), std::min(N, field.width), record.begin() + static_cast<std::ptrdiff_t>(field.offset));
}

} // namespace

DhRecord::Bytes DhRecord::Encode(const SimCamera& camera) {
    Bytes record{};
    PutText(record, kIp, camera.ip);
    PutText(record, kMask, camera.mask);
    PutText(record, kGateway, camera.gateway);
    PutText(record, kExtra, camera.extra);
    PutText(record, kDns, camera.dns);
    PutBytes(record, kReserved1, camera.reserved1);
    // Little-endian on the wire whatever the host's byte order.
    record[kPort.offset] = static_cast<std::uint8_t>(camera.port & 0xFFU);
    record[kPort.offset + 1] = static_cast<std::uint8_t>(camera.port >> 8);
    PutText(record, kP2p, camera.p2p);
    PutText(record, kName, camera.name);
    PutText(record, kSysVersion, camera.sysVersion);
    PutText(record, kAppVersion, camera.appVersion);
    PutText(record, kUser, camera.user);
    PutText(record, kPassword, camera.password);
    record[kReserved2.offset] = camera.reserved2;
    record[kDhcp.offset] = camera.dhcp;
    PutBytes(record, kReserved3, camera.reserved3);
    return record;
}

std::string DhRecord::Text(View record, Field field) {
    const auto begin = record.begin() + static_cast<std::ptrdiff_t>(field.offset);
    const auto end = begin + static_cast<std::ptrdiff_t>(field.width);
    return std::string(begin, std::find(begin, end, std::uint8_t{0}));
}

std::uint16_t DhRecord::Port(View record) {
    return static_cast<std::uint16_t>(record[kPort.offset] | (record[kPort.offset + 1] << 8));
}

} // namespace camsim
