#include "i18n/MainTexts.h"

namespace i18n {
namespace {

// Rows are slots, columns languages. The Chinese texts are GBK bytes. German slot 7 holds the GBK
// code of "u with diaeresis" (A8 B9); the window layer decodes every text as GB18030, so it reads right.
constexpr const char* kTexts[kTextSlots][kLanguageCount] = {
    {"Device", "\x99\x43\xD0\xCD", "\xBB\xFA\xD0\xCD", "Modell", "Urzadzenie"},
    {"IP Address", "IP \xB5\xD8\xD6\xB7", "IP \xB5\xD8\xD6\xB7", "IP-Adressen", "Adres IP"},
    {"Name", "\xD4O\x82\xE4\xC3\xFB", "\xC9\xE8\xB1\xB8\xC3\xFB\xB3\xC6", "Gertename", "Nazwa"},
    {"P2P-ID", "ID\xBE\x8E\xCC\x96", "ID\xBA\xC5", "P2P-ID", "P2P ID"},
    {"IP Brenvik", "IP \x94z\xD3\xB0\x99\x43\xB9\xA4\xBE\xDF", "IP \xC9\xE3\xCF\xF1\xBB\xFA\xB9\xA4\xBE\xDF", "IP Kamera-Tools", "Wyszukiwarka"},
    {"Language", "\xD5Z\xD1\xD4", "\xD3\xEF\xD1\xD4", "Sprache", "Jezyk"},
    {"Refresh", "\xCB\xA2\xD0\xC2", "\xCB\xA2\xD0\xC2", "Aktualisieren", "Odswiez"},
    {"IP Match", "\xD2\xBB\xE6I\xC6\xA5\xC5\xE4", "\xD2\xBB\xBC\xFC\xC6\xA5\xC5\xE4", "Ein Schl\xA8\xB9sselspiel", "Szukaj"},
    {"Submask not match", "\xD7\xD3\xBEW\xD1\xDA\xB4\x61\xB2\xBB\xC6\xA5\xC5\xE4", "\xD7\xD3\xCD\xF8\xD1\xDA\xC2\xEB\xB2\xBB\xC6\xA5\xC5\xE4", "Die Teilnetzmaske passt nicht", "Nieprawidlowa maska"},
    {"Basic Information", "\xBB\xF9\xB1\xBE\xD9Y\xD3\x8D", "\xBB\xF9\xB1\xBE\xCA\xF4\xD0\xD4", "Grundlegende Eigenschaften", "Informacje podstawowe"},
    {"Network Setting", "\xBEW\xC2\xB7\xD4O\xB6\xA8", "\xCD\xF8\xC2\xE7\xC5\xE4\xD6\xC3", "Netzwerkkonfiguration", "Ustawienia sieciowe"},
    {"Refresh Camera List", "\xCB\xA2\xD0\xC2\x94z\xD3\xB0\x99\x43\xC1\xD0\xB1\xED", "\xCB\xA2\xD0\xC2\xC9\xE3\xCF\xF1\xBB\xFA\xC1\xD0\xB1\xED", "Aktualisieren Kameraliste", "Odswiez liste"},
    {"Clear Arp Buffer", "\xC7\xE5\xB3\xFD\x41rp\xBE\x8F\xB4\xE6", "\xC7\xE5\xB3\xFD\x41rp\xBB\xBA\xB4\xE6", "Klar Arp Cache", "Wyczysc bufor ARP"},
    {"About Brenvik", "\xEAP\xEC\xB6\x42renvik", "\xB9\xD8\xD3\xDA Brenvik", "ber IP-Kamera-Tool", "O aplikacji"},
};

constexpr const char* kLanguageNames[kLanguageCount] = {"English", "\xB7\xB1\xF3w\xD6\xD0\xCE\xC4", "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4", "Deutsch", "Polski"};

} // namespace

const char* MainText(int language, int slot) { return kTexts[slot][language]; }

const char* LanguageName(int language) { return kLanguageNames[language]; }

} // namespace i18n
