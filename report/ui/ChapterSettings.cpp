#include "report/ui/ChapterSettings.h"

#include "foundation/PrivateProfile.h"

ChapterSettings ReadChapterSettings(const std::string& iniPath) {
    ChapterSettings settings;
    settings.Numbering = ReadNumberingSettings(iniPath);
    settings.Init =
        CPrivateProfile().GetValueLong(iniPath, chapter_key::Section, chapter_key::Init);
    return settings;
}
