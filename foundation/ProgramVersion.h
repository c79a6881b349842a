#pragma once
// The version of each program: the one source of the about boxes and of Preview's caption.

namespace program_version {

struct ProgramVersion {
    int major;
    int minor;
    int revision;
    const char* buildDate;  // as the about box shows it
};

inline constexpr ProgramVersion Mibrox{1, 5, 0, "(2013/07/13)"};
inline constexpr ProgramVersion Preview{3, 2, 0, "(2011/09/18)"};

}  // namespace program_version
