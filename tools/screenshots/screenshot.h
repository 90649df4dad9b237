#pragma once

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <cstdio>
#include <random>
#include <string>

namespace parcelo::screenshot {

// Lets queued window work (layout, repaints, the start-up warnings) run.
inline void settle()
{
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
}

// Saves the widget as it is on screen to a PNG file.
inline bool save(QWidget& widget, const QString& file)
{
    settle();
    return widget.grab().save(file, "PNG");
}

// The output folder from the command line ("" after printing the usage), and the icon
// theme the pictures are taken with.
inline QString outputFolder(int argc, char* argv[], const char* program)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", program);
        return {};
    }
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    return QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
}

// Writes a file of `size` bytes that do not compress.
inline bool writeNoise(const std::string& path, std::size_t size)
{
    std::mt19937 generator(1);
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    for (char& b : bytes)
        b = static_cast<char>(generator() & 0xFF);
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace parcelo::screenshot
