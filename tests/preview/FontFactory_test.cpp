// Face names to installed fonts, and measuring that agrees with drawing.
#include "preview/FontFactory.h"

#include <gtest/gtest.h>

#include <QPainter>

#include "preview/PageControl.h"
#include "preview/PageRenderer.h"

namespace preview {
namespace {

struct FaceCase {
    const char* name;
    const char* face;
    const char* family;
};

void PrintTo(const FaceCase& c, std::ostream* os) {
    *os << c.family;
}

class FontFamilyTest : public ::testing::TestWithParam<FaceCase> {};

TEST_P(FontFamilyTest, mapsTheFaceToAnInstalledFamily) {
    EXPECT_EQ(resolveFontFamily(QString::fromUtf8(GetParam().face)),
              QString::fromUtf8(GetParam().family));
}

INSTANTIATE_TEST_SUITE_P(
    Faces, FontFamilyTest,
    ::testing::Values(FaceCase{"msMincho", "ＭＳ 明朝", "IPAMincho"},
                      FaceCase{"msMinchoLatin", "MS Mincho", "IPAMincho"},
                      FaceCase{"msPMincho", "ＭＳ Ｐ明朝", "IPAPMincho"},
                      FaceCase{"msPMinchoLatin", "MS PMincho", "IPAPMincho"},
                      FaceCase{"msGothic", "ＭＳ ゴシック", "IPAGothic"},
                      FaceCase{"msGothicLatin", "MS Gothic", "IPAGothic"},
                      FaceCase{"msPGothic", "ＭＳ Ｐゴシック", "IPAPGothic"},
                      FaceCase{"courierNew", "Courier New", "Liberation Mono"},
                      FaceCase{"timesNewRoman", "Times New Roman", "Liberation Serif"},
                      FaceCase{"gaijiFace", "QMX外字", "IPAMincho"},
                      FaceCase{"emptyName", "", "IPAMincho"},
                      FaceCase{"installedFamily", "DejaVu Sans", "DejaVu Sans"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FontFactory, drawsTextWithinTheWidthItMeasured) {
    PageControl control;
    control.startDoc();
    control.setFont(FontSpec{QStringLiteral("ＭＳ ゴシック"), 20.0});
    const int x = 1440;
    control.setCurrentX(x);
    control.setCurrentY(1440);
    const QString text = QStringLiteral("WWWあ漢M");
    const TextExtent extent = control.measureText(text);
    EXPECT_EQ(extent.width, 3 * 200 + 2 * 400 + 200);
    control.printText(text);
    EXPECT_EQ(control.currentX(), x + extent.width);
    control.endDoc();
    // At 144 dpi a twip is a tenth of a pixel.
    const QImage image = control.renderPage(1, 144);
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int py = 0; py < image.height(); ++py) {
        for (int px = 0; px < image.width(); ++px) {
            if (qGray(image.pixel(px, py)) < 160) {
                left = std::min(left, px), right = std::max(right, px);
                top = std::min(top, py), bottom = std::max(bottom, py);
            }
        }
    }
    EXPECT_GE(left, x / 10);
    EXPECT_LE(right, (x + extent.width) / 10);
    EXPECT_GT(right, (x + extent.width) / 10 - 5);  // the last glyph reaches its cell's end
    EXPECT_GE(top, 1440 / 10);
    EXPECT_LE(bottom, (1440 + extent.height) / 10);
}

}  // namespace
}  // namespace preview
