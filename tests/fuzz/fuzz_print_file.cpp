// Fuzzes the print-file loader on the real control: its font factory measures every size the
// input asks for, and its figure renderer and picture cache read the files of a fixed folder
// (the seeds name /tmp/fuzz_print_file/fig.lst, fig.dat and pic.png in "FG" and "BM" lines).
// An input that takes longer than the time budget fails: a load's cost must stay bounded.
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "foundation/Cp932.h"
#include "foundation/SafeFile.h"
#include "preview/PageControl.h"
#include "preview/PreviewDocument.h"

namespace {

constexpr const char* kFolder = "/tmp/fuzz_print_file";
constexpr auto kBudget = std::chrono::seconds(3);

void write(const std::string& name, std::string_view bytes) {
    safefile::replaceFile(std::string(kFolder) + "/" + name, bytes);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    std::filesystem::create_directories(kFolder);
    write("LINE_PRN.DEF", "\"L\"\r\n1, 0, 0, \"a\"\r\n2, 3, 2, \"b\"\r\nEND\r\n");
    write("STR_PRN.DEF", cp932::fromUtf8("\"S\"\r\n1, 0, \"ＭＳ 明朝\", 200, 0, 0, 0, \"a\"\r\n"
                                         "2, 0, \"Arial\", 2000, 1, 1, 1, \"b\"\r\nEND\r\n"));
    write("fig.dat", cp932::fromUtf8("t\r\nt\r\n0, 0, 0, 0, 9, 9\r\n座標情報\r\n1, 0, 0\r\n"
                                     "2, 9, 9\r\nEND\r\n線分情報\r\n1, 1, 2, 2\r\nEND\r\n"
                                     "円情報\r\n1, 1, 4.5, 1\r\nEND\r\n文字情報\r\n寸法\r\n"
                                     "1, 1, 2, 1\r\nEND\r\n"));
    const std::string entry = std::string(kFolder) + "/fig.dat\r\n 0             0\r\n";
    write("fig.lst", "t\r\n 150           130\r\n" + entry + entry + "END\r\n");
    QImage picture(16, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.save(QString::fromUtf8(kFolder) + QStringLiteral("/pic.png"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto start = std::chrono::steady_clock::now();
    const std::string path = std::string(kFolder) + "/input." + std::to_string(::getpid());
    if (!safefile::replaceFile(path, std::string_view(reinterpret_cast<const char*>(data), size))
             .ok())
        return 0;
    preview::PageControl control;
    preview::DocumentContext context;  // no settings file: every value reads as 0 or empty
    context.printFileFolder = QString::fromUtf8(kFolder);
    context.programFolder = QString::fromUtf8(kFolder);
    preview::PreviewDocument document(control, context);
    const preview::LoadOutcome outcome = document.LoadPrintFile(QString::fromStdString(path));
    // A document the model could not hold whole is never cut without a word.
    if (!outcome.ok || (control.capacityExceeded() && outcome.truncatedAtPage == 0)) std::abort();
    control.renderPage(1, 24);
    ::unlink(path.c_str());
    const auto spent = std::chrono::steady_clock::now() - start;
    if (spent > kBudget) {
        std::fprintf(stderr, "an input of %zu bytes took %lld ms\n", size,
                     static_cast<long long>(
                         std::chrono::duration_cast<std::chrono::milliseconds>(spent).count()));
        std::abort();
    }
    return 0;
}
