// Driver for builds without libFuzzer: feeds every file of the given folders to the fuzz
// target, then a fixed series of pseudo-random inputs (the same in every run).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        QStringList files;
        if (QFileInfo(path).isDir()) {
            for (const QFileInfo &info : QDir(path).entryInfoList(QDir::Files, QDir::Name))
                files.append(info.filePath());
        } else {
            files.append(path);
        }
        for (const QString &file : files) {
            QFile f(file);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QByteArray bytes = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++inputs;
        }
    }
    QRandomGenerator random(20261209);
    static const char alphabet[] = "0123456789.-+eE_:/No ｍ測点\xff\x80";
    for (int n = 0; n < 3000; ++n) {
        QByteArray bytes(int(random.bounded(0, 600)), '\0');
        for (char &c : bytes) {
            c = random.bounded(3) == 0 ? char(random.bounded(256))
                                       : alphabet[random.bounded(int(sizeof alphabet) - 1)];
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
        ++inputs;
    }
    std::printf("%d inputs run\n", inputs);
    return 0;
}
