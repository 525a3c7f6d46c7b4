// Packing and unpacking backup files with zstd's streaming interface.
#include "backupfile.h"

#include "cancelled.h"
#include "dataerror.h"
#include "privatefiles.h"

#include <QFile>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zstd.h>

namespace backupfile {

namespace {

// A skippable frame (any magic 0x184D2A50..5F): zstd's own tool steps over it.
constexpr quint32 kFactsMagic = 0x184D2A5Eu;
constexpr int kLevel = 6; // small enough to keep a year of history, quick enough to idle along
const QByteArray kFactsHeading = QByteArrayLiteral("quillmart-backup 1\n");

// A file descriptor closed on every way out.
class Fd {
public:
    Fd(const QString &path, int flags, mode_t mode = 0600)
        : fd_(::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, mode)) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }

private:
    int fd_;
};

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

void writeAll(int fd, const char *data, std::size_t size, const QString &path) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw DataError(
                QStringLiteral("%1 could not be written (%2).").arg(path, systemError()));
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

// Reads up to `size` bytes; fewer only at the end of the file.
std::size_t readSome(int fd, char *data, std::size_t size, const QString &path) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, data + got, size - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw DataError(QStringLiteral("%1 could not be read (%2).").arg(path, systemError()));
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

QByteArray factsFrame(const Facts &facts) {
    QByteArray text = kFactsHeading;
    text += "taken=" + facts.taken.toString(Qt::ISODate).toUtf8() + '\n';
    text += "sales=" + QByteArray::number(facts.sales) + '\n';
    text += "titles=" + QByteArray::number(facts.titles) + '\n';
    text += "bytes=" + QByteArray::number(facts.bytes) + '\n';
    text += "version=" + QByteArray::number(facts.version) + '\n';
    QByteArray frame(8, Qt::Uninitialized);
    qToLittleEndian(kFactsMagic, frame.data());
    qToLittleEndian(static_cast<quint32>(text.size()), frame.data() + 4);
    return frame + text;
}

bool parseFacts(const QByteArray &text, Facts *facts) {
    if (!text.startsWith(kFactsHeading))
        return false;
    Facts read;
    bool complete = true;
    for (const QByteArray &line : text.mid(kFactsHeading.size()).split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.left(eq), value = line.mid(eq + 1);
        bool ok = true;
        if (key == "taken")
            read.taken = QDateTime::fromString(QString::fromUtf8(value), Qt::ISODate);
        else if (key == "sales")
            read.sales = value.toLongLong(&ok);
        else if (key == "titles")
            read.titles = value.toLongLong(&ok);
        else if (key == "bytes")
            read.bytes = value.toLongLong(&ok);
        else if (key == "version")
            read.version = value.toInt(&ok);
        complete = complete && ok;
    }
    if (!complete || !read.taken.isValid() || read.bytes <= 0)
        return false;
    *facts = read;
    return true;
}

void cancelledIf(const Progress &progress, double done) {
    if (progress && !progress(done))
        throw Cancelled(QStringLiteral("The backup was stopped."));
}

} // namespace

void makePrivateFile(const QString &path) {
    ::chmod(QFile::encodeName(path).constData(), 0600);
}

bool makePrivateFolder(const QString &path) {
    // Also a folder made by an older version, or by hand, becomes private.
    if (!privatefiles::makeFolder(path))
        return false;
    return ::chmod(QFile::encodeName(path).constData(), 0700) == 0;
}

void syncToDisk(const QString &path) {
    Fd fd(path, O_RDONLY);
    if (fd.ok())
        ::fsync(fd.get());
}

void pack(const QString &database, const Facts &facts, const QString &target,
          const Progress &progress) {
    Fd in(database, O_RDONLY);
    if (!in.ok())
        throw DataError(QStringLiteral("%1 could not be read (%2).").arg(database, systemError()));
    Fd out(target, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!out.ok())
        throw DataError(QStringLiteral("%1 could not be made (%2).").arg(target, systemError()));
    makePrivateFile(target);
    const QByteArray frame = factsFrame(facts);
    writeAll(out.get(), frame.constData(), static_cast<std::size_t>(frame.size()), target);

    std::unique_ptr<ZSTD_CCtx, decltype(&ZSTD_freeCCtx)> cctx(ZSTD_createCCtx(), ZSTD_freeCCtx);
    ZSTD_CCtx_setParameter(cctx.get(), ZSTD_c_compressionLevel, kLevel);
    ZSTD_CCtx_setParameter(cctx.get(), ZSTD_c_checksumFlag, 1);
    ZSTD_CCtx_setPledgedSrcSize(cctx.get(), static_cast<unsigned long long>(facts.bytes));
    std::vector<char> inBuf(ZSTD_CStreamInSize() * 8), outBuf(ZSTD_CStreamOutSize());
    qint64 done = 0;
    for (;;) {
        const std::size_t got = readSome(in.get(), inBuf.data(), inBuf.size(), database);
        const bool last = got < inBuf.size();
        ZSTD_inBuffer input{inBuf.data(), got, 0};
        for (bool finished = false; !finished;) {
            ZSTD_outBuffer output{outBuf.data(), outBuf.size(), 0};
            const std::size_t left = ZSTD_compressStream2(cctx.get(), &output, &input,
                                                          last ? ZSTD_e_end : ZSTD_e_continue);
            if (ZSTD_isError(left))
                throw DataError(QStringLiteral("%1 could not be compressed (%2).")
                                    .arg(database, QString::fromUtf8(ZSTD_getErrorName(left))));
            writeAll(out.get(), outBuf.data(), output.pos, target);
            finished = last ? left == 0 : input.pos == input.size;
        }
        done += static_cast<qint64>(got);
        if (last)
            break;
        cancelledIf(progress, facts.bytes > 0 ? double(done) / double(facts.bytes) : 0);
    }
    if (::fsync(out.get()) != 0)
        throw DataError(QStringLiteral("%1 could not be written (%2).").arg(target, systemError()));
}

bool readFacts(const QString &backup, Facts *facts) {
    Fd in(backup, O_RDONLY);
    if (!in.ok())
        return false;
    unsigned char head[8];
    if (readSome(in.get(), reinterpret_cast<char *>(head), 8, backup) != 8 ||
        qFromLittleEndian<quint32>(head) != kFactsMagic)
        return false;
    const quint32 size = qFromLittleEndian<quint32>(head + 4);
    if (size > 4096)
        return false;
    QByteArray text(static_cast<qsizetype>(size), '\0');
    if (readSome(in.get(), text.data(), size, backup) != size)
        return false;
    return parseFacts(text, facts);
}

Facts unpack(const QString &backup, const QString &target, const Progress &progress) {
    Facts facts;
    if (!readFacts(backup, &facts))
        throw DataError(QStringLiteral("%1 is not a backup of a shop database.").arg(backup));
    Fd in(backup, O_RDONLY);
    Fd out(target, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!in.ok() || !out.ok())
        throw DataError(QStringLiteral("%1 could not be unpacked into %2 (%3).")
                            .arg(backup, target, systemError()));
    makePrivateFile(target);
    std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> dctx(ZSTD_createDCtx(), ZSTD_freeDCtx);
    std::vector<char> inBuf(ZSTD_DStreamInSize()), outBuf(ZSTD_DStreamOutSize() * 8);
    const auto damaged = [&backup](const QString &why) {
        return DataError(QStringLiteral("The backup %1 is damaged (%2).").arg(backup, why));
    };
    qint64 written = 0;
    std::size_t left = 1; // what zstd still expects of the current frame; 0 between frames
    for (;;) {
        const std::size_t got = readSome(in.get(), inBuf.data(), inBuf.size(), backup);
        if (got == 0)
            break;
        ZSTD_inBuffer input{inBuf.data(), got, 0};
        while (input.pos < input.size) {
            ZSTD_outBuffer output{outBuf.data(), outBuf.size(), 0};
            left = ZSTD_decompressStream(dctx.get(), &output, &input);
            if (ZSTD_isError(left))
                throw damaged(QString::fromUtf8(ZSTD_getErrorName(left)));
            writeAll(out.get(), outBuf.data(), output.pos, target);
            written += static_cast<qint64>(output.pos);
            if (written > facts.bytes)
                throw damaged(QStringLiteral("it holds more than it says"));
        }
        cancelledIf(progress, double(written) / double(facts.bytes));
    }
    if (left != 0)
        throw damaged(QStringLiteral("it ends too early"));
    if (written != facts.bytes)
        throw damaged(QStringLiteral("%1 bytes instead of %2").arg(written).arg(facts.bytes));
    if (::fsync(out.get()) != 0)
        throw DataError(QStringLiteral("%1 could not be written (%2).").arg(target, systemError()));
    return facts;
}

QString countText(qint64 count) {
    return count < 0 ? QStringLiteral("?") : QString::number(count);
}

} // namespace backupfile
