#pragma once
// CDhSearcher: DH discovery on UDP port 8600. Public members are read by the main window (IP match
// reads m_addrTable and m_rowIndex). Contract:
//   CDhSearcher s; s.m_callback = ...; s.m_context = ...; s.Init(); s.SendSearch(); ... s.Stop();
//   bool Init();                                  one slot per local address (at most five)
//   bool SendSearch();                            burst: 44 48 01 01 twice per slot, 50 ms pauses
//   bool SendSet(const CameraInfo& info, int slot); 324-byte set request on that slot's socket
//   bool Stop();                                  wakes and joins receivers; no callback afterwards
//   host::Event m_hAckEvent;                      signalled by a set reply with status 0x8000
//   std::unique_ptr<net::IpAddrTable> m_addrTable; std::array<std::uint32_t,5> m_rowIndex;
//   std::vector<std::string> m_addresses;
