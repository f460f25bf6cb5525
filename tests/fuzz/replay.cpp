// Runs a fuzz target's checks over every file of the folders given, in name
// order, as libFuzzer would run one input; a failed check aborts the program.

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QDir dir(QString::fromLocal8Bit(argv[i]));
        if (!dir.exists()) {
            std::fprintf(stderr, "no such folder: %s\n", argv[i]);
            return 1;
        }
        for (const QFileInfo &fi : dir.entryInfoList(QDir::Files, QDir::Name)) {
            QFile f(fi.absoluteFilePath());
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(fi.absoluteFilePath()));
                return 1;
            }
            std::printf("%s\n", qPrintable(fi.absoluteFilePath()));
            std::fflush(stdout); // the name stays on screen if the input aborts
            const QByteArray bytes = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), bytes.size());
            ++inputs;
        }
    }
    std::printf("%d inputs passed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
