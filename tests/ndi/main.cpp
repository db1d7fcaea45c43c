#include <QCoreApplication>

int runSourceNameTests(int argc, char **argv);
int runSourceStoreTests(int argc, char **argv);
int runNdiLoaderTests(int argc, char **argv);
int runSourceFinderTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int failures = 0;
    for (auto run :
         {runSourceNameTests, runSourceStoreTests, runNdiLoaderTests, runSourceFinderTests})
        failures += run(argc, argv);
    return failures;
}
