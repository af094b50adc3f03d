#include "tools/camsim/DhCodec.h"

#include "tools/camsim/DhRecord.h"

#include <stdexcept>

namespace camsim {
namespace {

constexpr std::uint8_t kMagic0 = 0x44; // 'D'
constexpr std::uint8_t kMagic1 = 0x48; // 'H'

std::vector<std::uint8_t> Packet(std::uint16_t command, const SimCamera& camera) {
    std::vector<std::uint8_t> packet{kMagic0, kMagic1, static_cast<std::uint8_t>(command & 0xFFU),
                                     static_cast<std::uint8_t>(command >> 8)};
    const DhRecord::Bytes record = DhRecord::Encode(camera);
    packet.insert(packet.end(), record.begin(), record.end());
    return packet;
}

} // namespace

std::optional<std::uint16_t> DhCodec::Command(std::span<const std::uint8_t> datagram) {
    if (datagram.size() < kHeaderSize)
        return std::nullopt;
    return static_cast<std::uint16_t>(datagram[2] | (datagram[3] << 8));
}

DhCodec::Request DhCodec::Classify(std::span<const std::uint8_t> datagram) {
    if (datagram.size() < kHeaderSize)
        return {Kind::Other, "short"};
    if (datagram[0] != kMagic0 || datagram[1] != kMagic1)
        return {Kind::Other, "magic"};
    switch (*Command(datagram)) {
    case kSearch:
        if (datagram.size() != kHeaderSize)
            return {Kind::Other, "search-length"};
        return {Kind::Search, {}};
    case kSet:
        if (datagram.size() != kHeaderSize + DhRecord::kSize)
            return {Kind::Other, "set-length"};
        return {Kind::Set, {}};
    case kSearchReply:
    case kSetReply:
        return {Kind::Other, "reply"};
    default:
        return {Kind::Other, "command"};
    }
}

NetworkChange DhCodec::SetChange(std::span<const std::uint8_t> datagram) {
    if (datagram.size() < kHeaderSize + DhRecord::kSize)
        throw std::invalid_argument("DH set request too short");
    const DhRecord::View record = datagram.subspan<kHeaderSize, DhRecord::kSize>();
    NetworkChange change;
    change.dh = true;
    change.p2p = DhRecord::Text(record, DhRecord::kP2p);
    change.p2pWidth = DhRecord::kP2p.width;
    change.ip = DhRecord::Text(record, DhRecord::kIp);
    change.mask = DhRecord::Text(record, DhRecord::kMask);
    change.gateway = DhRecord::Text(record, DhRecord::kGateway);
    change.dns = DhRecord::Text(record, DhRecord::kDns);
    change.port = DhRecord::Port(record);
    change.user = DhRecord::Text(record, DhRecord::kUser);
    change.password = DhRecord::Text(record, DhRecord::kPassword);
    change.dhcp = record[DhRecord::kDhcp.offset];
    return change;
}

std::vector<std::uint8_t> DhCodec::SearchReply(const SimCamera& camera) { return Packet(kSearchReply, camera); }

std::vector<std::uint8_t> DhCodec::SetReply(const SimCamera& camera, std::uint32_t status) {
    std::vector<std::uint8_t> packet = Packet(kSetReply, camera);
    for (int shift = 0; shift < 32; shift += 8)
        packet.push_back(static_cast<std::uint8_t>((status >> shift) & 0xFFU));
    return packet;
}

} // namespace camsim
