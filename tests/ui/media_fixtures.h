#pragma once

// Media files made at test time with the ffmpeg command-line tool, so that no
// binary fixture lives in the tree. Each file is made once per folder.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace harpoly::test {

// Runs ffmpeg with `args` (output file last); true when it made the file.
inline bool ffmpeg(const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("ffmpeg"),
            QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"} + args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 &&
           QFile::exists(args.last());
}

inline QStringList testVideo(double seconds, const QString& size = QStringLiteral("320x240")) {
    return {"-f", "lavfi", "-i",
            QStringLiteral("testsrc=size=%1:rate=25:duration=%2").arg(size).arg(seconds)};
}

inline QStringList testTone(double seconds) {
    return {"-f", "lavfi", "-i", QStringLiteral("sine=frequency=440:duration=%1").arg(seconds)};
}

// MPEG-1 video of the given length (no sound).
inline bool makeMpg(const QString& path, double seconds,
                    const QString& size = QStringLiteral("320x240")) {
    return ffmpeg(testVideo(seconds, size) + QStringList{"-c:v", "mpeg1video", "-q:v", "10", path});
}

// Windows Media video with sound.
inline bool makeWmv(const QString& path, double seconds) {
    return ffmpeg(testVideo(seconds) + testTone(seconds) +
                  QStringList{"-c:v", "wmv2", "-c:a", "wmav2", "-shortest", path});
}

// AVI (MPEG-4 part 2 video, PCM sound).
inline bool makeAvi(const QString& path, double seconds) {
    return ffmpeg(testVideo(seconds) + testTone(seconds) +
                  QStringList{"-c:v", "mpeg4", "-c:a", "pcm_s16le", "-shortest", path});
}

inline bool makeWav(const QString& path, double seconds) {
    return ffmpeg(testTone(seconds) + QStringList{"-c:a", "pcm_s16le", path});
}

inline bool makeOgg(const QString& path, double seconds) {
    return ffmpeg(testTone(seconds) + QStringList{"-c:a", "libvorbis", path});
}

// A WAV file whose data chunk holds no sample.
inline bool makeEmptyWav(const QString& path) {
    auto le32 = [](quint32 v) { return QByteArray{reinterpret_cast<const char*>(&v), 4}; };
    QByteArray b = "RIFF" + le32(36) + "WAVEfmt " + le32(16);
    const char fmt[] = {
        1, 0, 1, 0,  0x44, static_cast<char>(0xAC), 0, 0, static_cast<char>(0x88), 0x58, 1,
        0, 2, 0, 16, 0};
    b += QByteArray(fmt, sizeof fmt) + "data" + le32(0);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray randomBytes(int count, quint32 seed) {
    QRandomGenerator gen(seed);
    QByteArray b(count, '\0');
    for (auto& c : b) {
        c = static_cast<char>(gen.bounded(256));
    }
    return b;
}

// The first `fraction` of a file's bytes.
inline bool truncateCopy(const QString& from, const QString& to, double fraction) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray all = in.readAll();
    return writeBytes(to, all.left(static_cast<int>(all.size() * fraction)));
}

} // namespace harpoly::test
