// libFuzzer target for reading one audio file as an import does: the judgment of its headers,
// our descriptor stream and TagLib behind it, through ReadAudioFile. Each input is written to a
// file in a private folder (on /dev/shm where there is one), named with the extension of the
// format its first bytes look like, so that mutations stay within a format; an input that ends
// in two 0xFF bytes is written at both ends of a sparse file past 4 GiB, so that offsets and
// lengths beyond 32 bits are taken. Any broken promise aborts. Built by fuzz/build.sh with clang; the normal
// build links it to the replay driver instead (tests/tracklist.cmake).

#include "audio.h"
#include "text.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "tag fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);          \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace {

using namespace tracklist;

QString scratchFolder()
{
    const QByteArray base =
        QDir(QStringLiteral("/dev/shm")).exists() ? "/dev/shm" : QDir::tempPath().toLocal8Bit();
    QByteArray pattern = base + "/tagfuzz-XXXXXX";
    FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
    static const QByteArray made = pattern;
    std::atexit([] { QDir(QFile::decodeName(made)).removeRecursively(); });
    return QFile::decodeName(pattern);
}

// The extension TagLib's choice of reader goes by: the one of the format the bytes begin as.
QString extensionFor(QByteArrayView bytes, uint8_t pick)
{
    if (bytes.startsWith("fLaC"))
        return QStringLiteral("flac");
    if (bytes.startsWith("OggS"))
        return bytes.indexOf("OpusHead") >= 0 ? QStringLiteral("opus") : QStringLiteral("ogg");
    if (bytes.startsWith("RIFF"))
        return QStringLiteral("wav");
    if (bytes.startsWith("FORM"))
        return QStringLiteral("aiff");
    if (bytes.size() >= 8 && bytes.sliced(4, 4) == "ftyp")
        return QStringLiteral("m4a");
    if (bytes.startsWith("\x30\x26\xB2\x75\x8E\x66\xCF\x11"))
        return QStringLiteral("wma");
    if (bytes.startsWith("ID3"))
        return bytes.indexOf("fLaC") >= 0 ? QStringLiteral("flac") : QStringLiteral("mp3");
    const QList<QStringView> all = AudioFileExtensions();
    return all[pick % all.size()].toString();
}

bool writeAll(int fd, const uint8_t *data, size_t size, off_t at)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t w = ::pwrite(fd, data + done, size - done, at + off_t(done));
        if (w <= 0)
            return false;
        done += size_t(w);
    }
    return true;
}

void checkField(const QString &s)
{
    FUZZ_CHECK(s.size() <= MaxFieldLength);
    FUZZ_CHECK(CleanField(s) == s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString folder = scratchFolder();
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const uint8_t last = size > 0 ? data[size - 1] : 0;
    const QString path = folder + QStringLiteral("/input.") + extensionFor(bytes, last);

    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(writeAll(fd, data, size, 0));
    // Dear under the sanitizers (TagLib walks back through the hole a KiB at a time even after
    // the stream stops serving it), so kept for inputs that end in two 0xFF bytes, and left out
    // altogether with SLEEVE_FUZZ_SPARSE=0 for runs that want many inputs a second.
    static const bool sparse = qEnvironmentVariable("SLEEVE_FUZZ_SPARSE") != QLatin1String("0");
    const bool huge = sparse && size >= 8 && last == 0xFF && data[size - 2] == 0xFF;
    if (huge) {
        const off_t length = (off_t(1) << 32) + off_t(size);
        FUZZ_CHECK(::ftruncate(fd, length) == 0);
        FUZZ_CHECK(writeAll(fd, data + size / 2, size - size / 2, length - off_t(size - size / 2)));
    }
    ::close(fd);

    const AudioFile f = ReadAudioFile(path);
    // Headers are walked a piece at a time, then TagLib is handed no more than its budget.
    FUZZ_CHECK(f.bytesRead >= 0 && f.bytesRead <= MaxTagBytes + MaxAudioReadBytes + 64 * 1024);
    if (f.track) {
        FUZZ_CHECK(f.reason.isEmpty());
        FUZZ_CHECK(!f.track->title.isEmpty());
        checkField(f.track->title);
        checkField(f.track->artist);
        checkField(f.track->album);
        checkField(f.track->albumArtist);
        FUZZ_CHECK(f.track->durationMs > 0);
        FUZZ_CHECK(f.track->number >= 0 && f.track->number <= 99999);
        FUZZ_CHECK(f.track->disc >= 0 && f.track->disc <= 999999);
        FUZZ_CHECK(f.track->sourcePath == path);
        FUZZ_CHECK(f.hasTitleTag || f.track->title == QStringLiteral("input"));
    } else {
        FUZZ_CHECK(!f.reason.isEmpty());
        FUZZ_CHECK(!f.hasTitleTag);
    }
    return 0;
}
