#include "report/ui/ChapterSettings.h"

#include <algorithm>

#include "foundation/PrivateProfile.h"

std::int32_t ClampMargin(std::int32_t margin) {
    return std::clamp(margin, kMarginMin, kMarginMax);
}

ChapterSettings ReadChapterSettings(const std::string& iniPath) {
    namespace k = chapter_key;
    const CPrivateProfile profile;
    ChapterSettings settings;
    settings.Numbering.Method = profile.GetValueLong(iniPath, k::Section, k::Method);
    settings.Init = profile.GetValueLong(iniPath, k::Section, k::Init);
    for (std::size_t level = 0; level < 4; ++level) {
        settings.Numbering.Style[level] =
            profile.GetValueLong(iniPath, k::Section, k::Style[level]);
        settings.Numbering.Margin[level] =
            ClampMargin(profile.GetValueLong(iniPath, k::Section, k::Margin[level]));
    }
    return settings;
}
