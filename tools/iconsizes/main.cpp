// Scales the program's icon to the sizes of the freedesktop icon theme:
//   trevalo_iconsizes <source.png> <output folder> <size>...
// writes <output folder>/<n>x<n>/apps/trevalo.png for each size.
#include <QDir>
#include <QImage>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <source.png> <output folder> <size>...\n", argv[0]);
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = QString::fromLatin1(argv[i]).toInt();
        const QString folder =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        // Smooth scaling averages the pixels each target pixel covers, so small sizes stay crisp.
        const QImage icon =
            source.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (size <= 0 || !QDir().mkpath(folder) ||
            !icon.save(folder + QStringLiteral("/trevalo.png"))) {
            std::fprintf(stderr, "cannot write the %s px icon\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
