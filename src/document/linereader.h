#pragma once

#include <QByteArray>
#include <QIODevice>

// Reads lines the way the block file defines them: CR or CR LF ends a line, a
// lone LF is ordinary text. Memory stays bounded whatever the input: a line
// longer than the limit is reported instead of being collected.
class CrLineReader
{
public:
    enum class Status
    {
        Line,
        End,
        TooLong,
        Error
    };

    static constexpr qsizetype DefaultMaxLine = 64 * 1024;

    explicit CrLineReader(QIODevice& device, qsizetype maxLine = DefaultMaxLine);

    // The next line without its line end. End when nothing is left; a last
    // line without a line end is still a line.
    Status next(QByteArray& line);

private:
    bool fill(); // reads more into the buffer; false at end or on error

    QIODevice& mDevice;
    qsizetype mMaxLine;
    QByteArray mBuf;
    qsizetype mPos = 0;
    bool mAtEnd = false;
    bool mError = false;
};
