#include "i18n/LanguageSetting.h"

#include "i18n/MainTexts.h"
#include "platform/host/Profile.h"

namespace i18n {
namespace {
constexpr const char* kSection = "SYSTEM";
constexpr const char* kKey = "LANGUAGE";
} // namespace

int ReadLanguageIndex(const std::string& settingsPath) {
    const int index = host::GetProfileInt(kSection, kKey, kEnglish, settingsPath);
    if (index < 0 || index >= kLanguageCount)
        return kSimplifiedChinese;
    return index;
}

bool StoreLanguageIndex(const std::string& settingsPath, int index) {
    return host::WriteProfileString(kSection, kKey, std::to_string(index), settingsPath);
}

} // namespace i18n
