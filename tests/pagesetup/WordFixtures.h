#pragma once
// Fixture files of the Word export tests (data/README.md), written into a scratch folder as
// the programs write them: CP932 with CR LF line ends.

#include <QString>
#include <filesystem>
#include <string>

#include "foundation/Cp932.h"
#include "tests/foundation/ScratchFolder.h"

// UTF-8 text with LF line ends -> CP932 with CR LF.
inline std::string AsPrintedFile(const std::string& utf8) {
    std::string crlf;
    for (const char c : utf8) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return cp932::fromUtf8(crlf);
}

inline std::string FixtureText(const std::string& name) {
    return ScratchFolder::read(std::string(MIBROX_TEST_DATA_DIR) + "/data/" + name);
}

// The program folder with the two definition files, the figure data file and a list file
// that places it on a 150 x 130 mm paper. Returns the list file's path.
inline std::string WriteFigureFixture(const ScratchFolder& folder,
                                      const std::string& listName = "figure.lst") {
    std::filesystem::create_directories(folder.file("app"));
    for (const char* def : {"LINE_PRN.DEF", "STR_PRN.DEF"})
        ScratchFolder::write(folder.file(std::string("app/") + def),
                             AsPrintedFile(FixtureText(def)));
    ScratchFolder::write(folder.file("figure.dat"), AsPrintedFile(FixtureText("figure.dat")));
    const std::string list = folder.file(listName);
    ScratchFolder::write(
        list, AsPrintedFile("ぬらけ曲線法\n 150          130\n" + folder.file("figure.dat") +
                            "\n 45           105\nEND\n"));
    return list;
}
