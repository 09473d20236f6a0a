// Lays out what tests/e2e/desktop-check starts the program on, in the given folder: "photos/"
// with three generated photos of one picture (the same crop of each gives the same result
// file), an empty destination "out/", and a param.dat that names both.
#include "settings/Settings.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <string>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    // Twice as wide as high: the 10x15 frame (3:2 once turned to landscape) fills its height
    // and has a third of its width to travel, so an arrow key visibly moves it. Red grows
    // across and green down, so every crop position gives different pixels.
    QImage image(1600, 800, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / image.width(), y * 255 / image.height(), 120));
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    bool written = root.mkpath("photos") && root.mkpath("out");
    for (const char* name : {"photos/a.jpg", "photos/b.jpg", "photos/c.jpg"})
        written = written && image.save(root.filePath(name), "JPG", 90);
    if (!written) {
        std::fprintf(stderr, "cannot lay out the folders and photos under %s\n", argv[1]);
        return 1;
    }
    const std::string base = root.absolutePath().toStdString() + "/";
    Settings settings(base + "param.dat");
    settings.setCurrentFolder(base + "photos/");
    settings.setDestinationFolder(base + "out/");
    // One arrow stroke moves the frame by 5 display pixels, whatever the timing of the keys.
    settings.setKeybProgressif(0);
    settings.setCheckVersion(0);
    return 0;
}
