#include <QCoreApplication>

int runSourceTests(int argc, char **argv);
int runNdiLoaderTests(int argc, char **argv);
int runSourceFinderTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return runSourceTests(argc, argv) + runNdiLoaderTests(argc, argv) +
           runSourceFinderTests(argc, argv);
}
