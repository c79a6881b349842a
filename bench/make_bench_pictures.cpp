// Writes one noisy picture for the benchmarks' ordinary documents:
//   make_bench_pictures OUT WIDTH HEIGHT SEED QUALITY GREY
// The format follows OUT's suffix (JPEG or PNG); the noise keeps a JPEG near a phone photo's size.
#include <QImage>
#include <QRandomGenerator>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 7)
        return 2;
    QImage image(std::atoi(argv[2]), std::atoi(argv[3]),
                 std::atoi(argv[6]) ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    QRandomGenerator random(std::atoi(argv[4]));
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (qsizetype x = 0; x < image.bytesPerLine(); ++x)
            line[x] = uchar(96 + random.bounded(64) + (x + y) % 64);
    }
    return image.save(QString::fromLocal8Bit(argv[1]), nullptr, std::atoi(argv[5])) ? 0 : 1;
}
