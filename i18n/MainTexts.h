#pragma once

namespace i18n {

// Languages by index; the order is the language combo's order and the value stored in sys.ini.
inline constexpr int kLanguageCount = 5;
inline constexpr int kEnglish = 0;
inline constexpr int kTraditionalChinese = 1;
inline constexpr int kSimplifiedChinese = 2;
inline constexpr int kGerman = 3;
inline constexpr int kPolish = 4;

// The main window's text table: fourteen slots of 128 bytes.
inline constexpr int kTextSlots = 14;
inline constexpr int kTextSlotSize = 128;

// Slots by use.
inline constexpr int kSlotColumnModel = 0;
inline constexpr int kSlotColumnAddress = 1;
inline constexpr int kSlotColumnName = 2;
inline constexpr int kSlotColumnP2pId = 3;
inline constexpr int kSlotTitle = 4;
inline constexpr int kSlotLanguageLabel = 5;
inline constexpr int kSlotRefresh = 6;
inline constexpr int kSlotIpMatch = 7;
inline constexpr int kSlotSubnetMismatch = 8;
inline constexpr int kSlotMenuBasicInfo = 9;
inline constexpr int kSlotMenuNetworkSetting = 10;
inline constexpr int kSlotMenuRefresh = 11;
inline constexpr int kSlotMenuClearArp = 12;
inline constexpr int kSlotMenuAbout = 13;

// Text of a slot in a language, as stored bytes (ASCII, or GBK for the Chinese sets).
// language must be 0..4 and slot 0..13.
const char* MainText(int language, int slot);

// The language combo's entries, each in its own language.
const char* LanguageName(int language);

} // namespace i18n
