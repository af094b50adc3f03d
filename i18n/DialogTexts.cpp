#include "i18n/DialogTexts.h"

#include "i18n/MainTexts.h"

namespace i18n {
namespace {

constexpr int kNetCfgCount = static_cast<int>(NetCfgText::Count);
constexpr int kBaseParamCount = static_cast<int>(BaseParamText::Count);

// Rows follow NetCfgText, columns the languages. "DNS " in English ends in a blank.
constexpr const char* kNetCfg[kNetCfgCount][kLanguageCount] = {
    {"DHCP", "\xD7\xD4\x84\xD3\xAB@\xC8\xA1 IP \xD4O\xB6\xA8", "\xD7\xD4\xB6\xAF\xBB\xF1\xC8\xA1 IP \xC9\xE8\xD6\xC3", "Automatische IP-Einstellungen erhalten", "DHCP"},
    {"IP Addr", "IP \xB5\xD8\xD6\xB7", "IP \xB5\xD8\xD6\xB7", "IP-Adressen", "Adres IP"},
    {"Submask", "\xD7\xD3\xBEW\xD1\xDA\xB4\x61", "\xD7\xD3\xCD\xF8\xD1\xDA\xC2\xEB", "Subnet Mask", "Maska podsieci"},
    {"Gateway", "\xBEW\xE9v", "\xCD\xF8\xB9\xD8", "Tor", "Brama"},
    {"DNS ", "DNS \xCB\xC5\xB7\xFE\xC6\xF7", "DNS \xB7\xFE\xCE\xF1\xC6\xF7", "DNS Server", "DNS"},
    {"Http Port", "Http \xB6\xCB\xBF\xDA", "Http \xB6\xCB\xBF\xDA", "Http Port", "Port http"},
    {"User", "\xD3\xC3\x91\xF4\xC3\xFB", "\xD3\xC3\xBB\xA7\xC3\xFB", "Benutzername", "Uzytkownik"},
    {"Password", "\xC3\xDC\xB4\x61", "\xC3\xDC\xC2\xEB", "Passwort", "Haslo"},
    {"OK", "\xB4_\xB6\xA8", "\xC8\xB7\xB6\xA8", "bestimmen", "OK"},
    {"Cancel", "\xC8\xA1\xCF\xFB", "\xC8\xA1\xCF\xFB", "stornieren", "Anuluj"},
    {"Network Setting", "\xBEW\xBDj\xD4O\xB6\xA8", "\xCD\xF8\xC2\xE7\xC5\xE4\xD6\xC3", "Netzwerkkonfiguration", "Ustawienia sieci"},
};

// Rows follow BaseParamText. The German column is our own, in the manner of the German main texts
// (ASCII only), so a German user does not meet Simplified Chinese labels in this one dialog.
constexpr const char* kBaseParam[kBaseParamCount][kLanguageCount] = {
    {"System Version", "\xCF\xB5\xBDy\xB9\xCC\xBC\xFE\xB0\xE6\xB1\xBE", "\xCF\xB5\xCD\xB3\xB9\xCC\xBC\xFE\xB0\xE6\xB1\xBE", "Systemversion", "Wersja systemu"},
    {"App Version", "\x91\xAA\xD3\xC3\xB9\xCC\xBC\xFE\xB0\xE6\xB1\xBE", "\xD3\xA6\xD3\xC3\xB9\xCC\xBC\xFE\xB0\xE6\xB1\xBE", "Anwendungsversion", "Wersja programu"},
    {"OK", "\xB4_\xB6\xA8", "\xC8\xB7\xB6\xA8", "OK", "OK"},
    {"Basic Infomation", "\xBB\xF9\xB1\xBE\x8C\xD9\xD0\xD4", "\xBB\xF9\xB1\xBE\xCA\xF4\xD0\xD4", "Grundlegende Eigenschaften", "Informacje"},
};

} // namespace

const char* NetCfgString(int language, NetCfgText which) {
    return kNetCfg[static_cast<int>(which)][language];
}

const char* BaseParamString(int language, BaseParamText which) {
    return kBaseParam[static_cast<int>(which)][language];
}

} // namespace i18n
